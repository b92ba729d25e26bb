#pragma once
#include "db/dialect.h"

#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <memory>

namespace rek2 {

// One database session. The database name says the engine (makeDialect): a
// PostgreSQL connection URI or key=value string, user name and password
// from the logon values; anything else is the path of an SQLite file (user
// name and password kept but not used by the engine).
//
// Transactions: StartTransaction opens a read-write transaction (on SQLite
// "BEGIN IMMEDIATE", so the write lock is taken at once) and is refused while
// one is open. Outside a transaction every statement commits by itself.
// Sequence values drawn inside a transaction stay drawn after Rollback.
class Session
{
public:
    Session();
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    QString LogonDatabase;
    QString LogonUsername;
    QString LogonPassword;

    // Opens LogonDatabase. A missing SQLite file fails (only the schema
    // creator makes database files), a file that is not a database, a
    // server that cannot be reached or refuses the logon fail with the
    // engine's message. Throws DbError.
    void LogOn();
    // Opens a database of this session's own in memory (nobody else sees
    // it; gone at LogOff), for working tables of one window.
    void LogOnInMemory();
    // Nothing when not connected; an open transaction is rolled back.
    void LogOff();
    bool Connected() const;

    void StartTransaction(); // throws when a transaction is open
    void Commit();           // nothing when none is open
    void Rollback();         // nothing when none is open
    bool InTransaction() const { return inTransaction_; }

    // How long a statement waits for a lock another connection holds.
    void setBusyTimeout(int milliseconds);
    int busyTimeout() const { return busyTimeoutMs_; }

    // For code that needs the engine directly (the schema creator, tests).
    QSqlDatabase database() const;
    const QString& connectionName() const { return connectionName_; }
    Dialect& dialect() const { return *dialect_; }
    QString engine() const { return dialect_ ? dialect_->engine() : QString(); }

    // Runs one engine text (no rewriting, no variables); throws DbError.
    // For DDL and pragmas of the schema creator and the tests.
    void executeDirect(const QString& engineSql);

    // Creates an empty SQLite database file (WAL mode) at `path`; fails if a
    // file is there. Only the schema creator and tests call it.
    static void createDatabaseFile(const QString& path);

private:
    QString connectionName_;
    std::unique_ptr<Dialect> dialect_;
    bool connected_ = false;
    bool inTransaction_ = false;
    int busyTimeoutMs_ = 5000;
};

} // namespace rek2
