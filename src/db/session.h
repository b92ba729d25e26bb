#pragma once
#include "db/dialect.h"

#include <QElapsedTimer>
#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <functional>
#include <memory>

namespace rek2 {

class EngineThread;

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

    // While the engine works on a statement (or waits for another writer's
    // lock) for longer than a moment, `pulse` is called about every
    // kPulseIntervalMs: the window repaints itself with it instead of
    // looking frozen; also while a dataset reads its rows. Never for the
    // pulse's own work: the pulse must not use this session (a statement it
    // runs is refused). An engine that cannot call back in the middle of a
    // statement (PostgreSQL through its client library) gets the work on a
    // thread of the session's own (runEngineWork) while this thread calls
    // the pulse. An empty function switches it off.
    void setPulse(std::function<void()> pulse);
    static constexpr int kPulseIntervalMs = 100;

    // Marks a statement (or a transaction's begin or end) the engine is
    // working on, for the pulse; nested marks count once.
    class Working
    {
    public:
        explicit Working(Session& session);
        ~Working();
        Working(const Working&) = delete;
        Working& operator=(const Working&) = delete;

    private:
        Session& session_;
    };

    // Runs one piece of the engine's work on this session's connection (a
    // statement, the reading of a result), marked as Working. With a pulse
    // set on an engine that cannot call back while it works, the work runs
    // on the session's engine thread while this thread calls the pulse until
    // it is done: the connection is used by one thread at a time, and
    // nothing but the work may touch what it fills (a dataset is not open
    // until its rows are read, so its grid reads none of them meanwhile).
    void runEngineWork(const std::function<void()>& work);

    // Called by the dialect while the engine works; calls the pulse when a
    // statement is marked and the interval has passed.
    void engineWorking();
    // True while the pulse runs: the session takes no statement then.
    bool inPulse() const { return inPulse_; }
    // Throws DbError while the pulse runs.
    void refuseDuringPulse() const;

private:
    QString connectionName_;
    std::unique_ptr<Dialect> dialect_;
    bool connected_ = false;
    bool inTransaction_ = false;
    int busyTimeoutMs_ = 5000;
    std::function<void()> pulse_;
    bool engineCallsBack_ = false;
    std::unique_ptr<EngineThread> engineThread_;
    int working_ = 0;
    bool inPulse_ = false;
    QElapsedTimer sincePulse_;
};

} // namespace rek2
