#pragma once
#include <QString>
#include <QStringList>

namespace rek2 {

class Operator;
class Session;

// Named database aliases: an INI file (aliases.ini in the installation
// folder), one section per alias with the key "Driver" (the driver name) and
// the alias's parameters as further keys, e.g.
//   [REGISTER]
//   Driver=ORACLE
//   SERVER NAME=/data/register.db
class AliasStore
{
public:
    explicit AliasStore(QString iniPath) : path_(std::move(iniPath)) {}
    // Throws DbError when the file or the alias does not exist.
    QString DriverName(const QString& alias) const;
    // Lines NAME=VALUE (without the driver); throws like DriverName.
    QStringList Params(const QString& alias) const;
    QString Param(const QString& alias, const QString& name) const;

private:
    QString path_;
};

struct ConnectOutcome
{
    bool connected = false;
    bool closeWindow = false; // the window closes once the procedure ended
    QString error;            // the server's message of the last failed logon
};

// The connecting procedure of the main window's first showing: log on with
// the command-line values; on failure resolve LogonDatabase as an alias
// (driver ODBC -> "ODBC DSN", ORACLE or POSTGRESQL -> "SERVER NAME", DB2 -> "DB2 DSN"),
// or fall back to the INI value ServerName, and log on again. An unknown
// alias without ServerName shows "Napaka pri iskanju BDE aliasa <alias>:
// <error>" with the button "V redu" and closes the window.
ConnectOutcome connectSession(Session& session, const AliasStore& aliases, const QString& serverName,
                              Operator& op);

} // namespace rek2
