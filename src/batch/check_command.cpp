#include "batch/check_command.h"

#include "batch/batch.h"
#include "db/error.h"
#include "db/session.h"
#include "edit/preflight.h"

#include <QDate>

namespace rek2::batch {
namespace {

bool parseCheckOptions(const QStringList& args, QDate& from, QDate& to, QString& error)
{
    BatchOptions options;
    return options.parse(args, {}, {QStringLiteral("--from"), QStringLiteral("--to")}, error) &&
           options.period(from, to, error);
}

} // namespace

int runCheck(BatchContext& ctx, const QStringList& args)
{
    QDate from, to;
    QString error;
    if (!parseCheckOptions(args, from, to, error)) {
        ctx.error(error);
        return kExitUsage;
    }
    try {
        Session session;
        logOn(ctx, session);
        const QString findings = preflightFindings(session, from, to);
        session.LogOff();
        if (findings.isEmpty())
            return kExitOk;
        // The text as the editor would show it, line breaks included.
        if (ctx.out)
            *ctx.out << findings << Qt::endl;
        return kExitFindings;
    } catch (const DbError& e) {
        ctx.error(e.message());
        return kExitFailed;
    }
}

} // namespace rek2::batch
