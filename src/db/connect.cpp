#include "db/connect.h"

#include "base/inifile.h"
#include "base/operator.h"
#include "db/database_name.h"
#include "db/error.h"
#include "db/session.h"

#include <QFileInfo>

namespace rek2 {

namespace {

// Alias files are read as the installation INI is (UTF-8 or Windows-1250,
// values as written): a Windows path keeps its backslashes.
// Alias sections are looked up without regard to case, as alias names are.
QString findGroup(const IniFile& ini, const QString& alias)
{
    for (const QString& g : ini.sections())
        if (g.compare(alias, Qt::CaseInsensitive) == 0)
            return g;
    return {};
}

} // namespace

QString AliasStore::DriverName(const QString& alias) const
{
    if (!QFileInfo(path_).isFile())
        throw DbError(QStringLiteral("Alias ") + alias + QStringLiteral(" does not exist"));
    const IniFile ini(path_);
    const QString g = findGroup(ini, alias);
    if (g.isEmpty() || alias.trimmed().isEmpty())
        throw DbError(QStringLiteral("Alias ") + alias + QStringLiteral(" does not exist"));
    return ini.value(g, QStringLiteral("Driver"));
}

QStringList AliasStore::Params(const QString& alias) const
{
    DriverName(alias); // throws for an unknown alias
    const IniFile ini(path_);
    const QString g = findGroup(ini, alias);
    QStringList out;
    for (const QString& k : ini.keys(g))
        if (k.compare(QLatin1String("Driver"), Qt::CaseInsensitive) != 0)
            out << k + QLatin1Char('=') + ini.value(g, k);
    return out;
}

QString AliasStore::Param(const QString& alias, const QString& name) const
{
    for (const QString& line : Params(alias)) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (line.left(eq).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(eq + 1);
    }
    return {};
}

ConnectOutcome connectSession(Session& session, const AliasStore& aliases, const QString& serverName,
                              Operator& op)
{
    ConnectOutcome out;
    auto logOn = [&] {
        try {
            session.LogOff();
            session.LogOn();
            out.connected = true;
            out.error.clear();
        } catch (const DbError& e) {
            out.error = e.message();
        }
    };
    logOn();
    if (out.connected)
        return out;
    // A server's connection string is no alias: its own message is the answer.
    if (isServerDatabaseName(session.LogonDatabase))
        return out;

    const QString alias = session.LogonDatabase;
    QString driver;
    bool aliasFound = true;
    try {
        driver = aliases.DriverName(alias);
    } catch (const DbError& e) {
        if (serverName.isEmpty()) {
            op.Napaka(QStringLiteral("Napaka pri iskanju BDE aliasa ") + alias + QStringLiteral(": ") +
                          e.message(),
                      QStringLiteral("V redu"));
            out.closeWindow = true;
            return out;
        }
        session.LogonDatabase = serverName;
        aliasFound = false;
    }
    if (aliasFound) {
        const QString upper = driver.trimmed().toUpper();
        if (driver.contains(QLatin1String("ODBC")))
            session.LogonDatabase = aliases.Param(alias, QStringLiteral("ODBC DSN"));
        // A PostgreSQL alias names its server the way an Oracle one does.
        else if (upper == QLatin1String("ORACLE") || upper == QLatin1String("POSTGRESQL"))
            session.LogonDatabase = aliases.Param(alias, QStringLiteral("SERVER NAME"));
        else if (upper == QLatin1String("DB2"))
            session.LogonDatabase = aliases.Param(alias, QStringLiteral("DB2 DSN"));
        else
            out.closeWindow = true;
    }
    if (!session.LogonDatabase.isEmpty())
        logOn();
    return out;
}

} // namespace rek2
