#pragma once
#include <QString>

namespace rek2 {

// True when a database name is a server's connection string (a PostgreSQL
// URI or key=value string), not the path of an SQLite file.
bool isServerDatabaseName(const QString& databaseName);

// The database name with any password left out (for messages and logs).
QString displayDatabaseName(const QString& databaseName);

} // namespace rek2
