#pragma once
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <initializer_list>

namespace rek2 {
class Session;
}

namespace rek2::test {

// The engine the test databases live on. When REK2_TEST_POSTGRES holds the
// connection string of a PostgreSQL cluster's maintenance database
// (scripts/with-postgres sets it), every fixture is a new database on that
// cluster; otherwise it is an SQLite file in a temporary folder.
bool onPostgres();

// A new, empty test database: on PostgreSQL a database of its own (the
// returned name is its connection string) with the two sequences unless
// `bare`, else the file `filePath` (created empty, as
// Session::createDatabaseFile does, or not at all when `bare`).
QString createTestDatabase(const QString& filePath, bool bare = false);
// Drops a PostgreSQL test database (closing what is still connected);
// nothing for a file, which goes with its temporary folder.
void dropTestDatabase(const QString& name);

// Adds a Qt connection `connectionName` to the test database `name`, of the
// right driver (not opened yet).
QSqlDatabase addTestConnection(const QString& connectionName, const QString& name);

// Makes `nextValue` the next value `session` draws from sequence `name`
// (before it drew any).
void setNextSequenceValue(Session& session, const QString& name, qint64 nextValue);

// The statements of a trigger that refuses `event` ("INSERT" or "UPDATE") on
// `table` with the engine error `message` whenever `condition` holds (an SQL
// condition that may name NEW's columns; empty: always), for tests of what
// an engine error leaves behind.
QStringList failingTrigger(const QString& name, const QString& event, const QString& table,
                           const QString& condition, const QString& message);

// An SQL expression whose value is an infinite amount.
QString infinity();

// The text of the characters with the given codes as an SQL expression.
QString charCodes(std::initializer_list<int> codes);

} // namespace rek2::test

// Skips a test that checks what only SQLite has (its files, pragmas, its own
// dialect rewrites) when the suite runs on PostgreSQL.
#define REK2_SQLITE_ONLY()                                                                                   \
    do {                                                                                                     \
        if (::rek2::test::onPostgres())                                                                      \
            GTEST_SKIP() << "SQLite only";                                                                   \
    } while (false)
