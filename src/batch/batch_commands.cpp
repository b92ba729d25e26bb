#include "batch/batch.h"
#include "batch/init_command.h"

namespace rek2::batch {

const std::vector<BatchCommand>& batchCommands()
{
    static const std::vector<BatchCommand> table = {
        {QStringLiteral("init"),
         QStringLiteral("init [--demo] [--holders N] [--days N] [--from LLLL-MM-DD] [--seed S]"), runInit},
    };
    return table;
}

} // namespace rek2::batch
