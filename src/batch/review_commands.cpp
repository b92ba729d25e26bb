#include "batch/review_commands.h"

#include "batch/summary_print.h"
#include "collect/summary_fields.h"
#include "db/error.h"
#include "db/session.h"
#include "returns/context.h"
#include "review/document_number.h"
#include "review/history_actions.h"
#include "review/review_error.h"

namespace rek2::batch {
namespace {

bool parseId(const QString& text, int& id)
{
    bool ok = false;
    id = text.toInt(&ok);
    return ok && id > 0;
}

// Runs `body` on a logged-on context; every failure becomes its message and
// exit code 1.
template <typename Body> int onHistory(BatchContext& ctx, Body body)
{
    Session session;
    QuietOperator op;
    RekContext rek;
    rek.op = &op;
    try {
        logOnForReturns(ctx, session, rek);
        body(rek);
        return kExitOk;
    } catch (const review::ReviewError& e) {
        ctx.error(e.message());
    } catch (const DbError& e) {
        ctx.error(e.message());
    }
    return kExitFailed;
}

int runCopy(BatchContext& ctx, const QStringList& args, review::CopyKind kind, const char* usage)
{
    int id = 0;
    if (args.size() != 1 || !parseId(args[0], id)) {
        ctx.error(QStringLiteral("Uporaba: ") + QLatin1String(usage));
        return kExitUsage;
    }
    return onHistory(ctx, [&](RekContext& rek) {
        collect::installSummaryCalcFields(rek, rek.odsREK2_Zbir);
        const review::KopirajResult result = review::copyFromHistory(rek, id, kind);
        if (kind == review::CopyKind::Restore) {
            const QStringList lines = review::describeCopy(result);
            for (const QString& line : lines)
                ctx.print(line);
            if (lines.isEmpty())
                ctx.print(QStringLiteral("Povezave vrnjenega zbirnega %1 niso imele datoteke.").arg(id));
        } else {
            printSummaries(ctx, rek.odsREK2_Zbir);
        }
    });
}

} // namespace

int runDocnumCommand(BatchContext& ctx, const QStringList& args)
{
    int id = 0;
    if (args.size() != 2 || !parseId(args[0], id) || args[1].trimmed().isEmpty()) {
        ctx.error(QStringLiteral("Uporaba: docnum ID_REK2_ZBIR EDP-ŠTEVILKA"));
        return kExitUsage;
    }
    return onHistory(ctx, [&](RekContext& rek) {
        const review::OnwardCopy done = review::recordDocumentNumber(*rek.session, rek.settings, id, args[1]);
        ctx.print(QStringLiteral("Posodobljenih analitik: %1").arg(done.rows));
        ctx.print(QStringLiteral("Posodobljenih povezav: %1").arg(done.links));
    });
}

int runStornoCommand(BatchContext& ctx, const QStringList& args)
{
    return runCopy(ctx, args, review::CopyKind::Storno, "storno ID_REK2_ZBIR");
}

int runPopravekCommand(BatchContext& ctx, const QStringList& args)
{
    return runCopy(ctx, args, review::CopyKind::Popravek, "popravek ID_REK2_ZBIR");
}

int runRestoreCommand(BatchContext& ctx, const QStringList& args)
{
    return runCopy(ctx, args, review::CopyKind::Restore, "restore ID_REK2_ZBIR");
}

} // namespace rek2::batch
