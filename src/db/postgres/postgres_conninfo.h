#pragma once
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace rek2::postgres {

// What a PostgreSQL database name says: a connection URI
// ("postgresql://host:port/dbname", "postgresql:///dbname?host=/socket&port=N")
// or a libpq key=value string ("host=... port=... dbname=...").
struct ConnInfo
{
    QString host;
    int port = -1;
    QString dbname;
    QString user;
    QString password;
    QStringList options; // further libpq keywords, "key=value"
};

// True when `name` is one of the two forms above; anything else is an SQLite file.
bool isConnectionString(const QString& name);

// Parses either form; throws DbError with a Slovenian message on a malformed one.
ConnInfo parseConnectionString(const QString& name);

// `name` with any password left out, for messages and the debug log.
QString redactedConnectionString(const QString& name);

// A new QPSQL connection named `connectionName` to the database `c` says;
// the command line's user and password unless `c` gives its own (a shared
// alias may name the role every operator logs on as). Connect options are the
// caller's.
QSqlDatabase addConnection(const QString& connectionName, const ConnInfo& c, const QString& user,
                           const QString& password);

} // namespace rek2::postgres
