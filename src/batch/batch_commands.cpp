#include "batch/batch.h"
#include "batch/check_command.h"
#include "batch/collect_command.h"
#include "batch/import_command.h"
#include "batch/init_command.h"
#include "batch/review_commands.h"
#include "batch/xml_command.h"

namespace rek2::batch {

const std::vector<BatchCommand>& batchCommands()
{
    static const std::vector<BatchCommand> table = {
        {QStringLiteral("init"),
         QStringLiteral("init [--demo] [--holders N] [--days N] [--from LLLL-MM-DD] [--seed S]"), runInit},
        {QStringLiteral("collect"),
         QStringLiteral("collect --from LLLL-MM-DD [--to LLLL-MM-DD] [--ignore-duplicates]"), runCollect},
        {QStringLiteral("check"), QStringLiteral("check --from LLLL-MM-DD [--to LLLL-MM-DD]"), runCheck},
        {QStringLiteral("xml"), QStringLiteral("xml --from LLLL-MM-DD [--to LLLL-MM-DD] (--all | ID ...)"),
         runXmlCommand},
        {QStringLiteral("import"), QStringLiteral("import DATOTEKA --day LLLL-MM-DD [--yes]"),
         runImportCommand},
        {QStringLiteral("history"), QStringLiteral("history --from LLLL-MM-DD [--to LLLL-MM-DD]"),
         runHistoryCommand},
        {QStringLiteral("docnum"), QStringLiteral("docnum ID_REK2_ZBIR EDP-ŠTEVILKA"), runDocnumCommand},
        {QStringLiteral("storno"), QStringLiteral("storno ID_REK2_ZBIR"), runStornoCommand},
        {QStringLiteral("popravek"), QStringLiteral("popravek ID_REK2_ZBIR"), runPopravekCommand},
        {QStringLiteral("restore"), QStringLiteral("restore ID_REK2_ZBIR"), runRestoreCommand},
    };
    return table;
}

} // namespace rek2::batch
