#include "batch/check_command.h"

#include "edit/preflight.h"
#include "store/oracle_error.h"
#include "store/oracle_session.h"

#include <QDate>

namespace rek2::batch {
namespace {

bool readDay(const QString& option, const QString& value, QDate& day, QString& error)
{
    day = QDate::fromString(value, Qt::ISODate);
    if (day.isValid() && value.size() == 10)
        return true;
    error = QStringLiteral("Neveljaven datum za %1: %2 (oblika LLLL-MM-DD).").arg(option, value);
    return false;
}

bool parseCheckOptions(const QStringList& args, QDate& from, QDate& to, QString& error)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (a != QLatin1String("--from") && a != QLatin1String("--to")) {
            error = QStringLiteral("Neznana možnost: %1").arg(a);
            return false;
        }
        if (i + 1 >= args.size()) {
            error = QStringLiteral("Možnost %1 zahteva vrednost.").arg(a);
            return false;
        }
        if (!readDay(a, args.at(++i), a == QLatin1String("--from") ? from : to, error))
            return false;
    }
    if (!from.isValid()) {
        error = QStringLiteral("Manjka možnost --from.");
        return false;
    }
    if (!to.isValid())
        to = from;
    if (to < from) {
        error = QStringLiteral("Datum --to je pred datumom --from.");
        return false;
    }
    return true;
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
        TOracleSession session;
        session.LogonDatabase = ctx.database;
        session.LogonUsername = ctx.user;
        session.LogonPassword = ctx.password;
        session.LogOn();
        const QString findings = preflightFindings(session, from, to);
        session.LogOff();
        if (findings.isEmpty())
            return kExitOk;
        // The text as the editor would show it, line breaks included.
        if (ctx.out)
            *ctx.out << findings << Qt::endl;
        return kExitFindings;
    } catch (const OracleError& e) {
        ctx.error(e.message());
        return kExitFailed;
    }
}

} // namespace rek2::batch
