#include "db/session.h"

#include "db/engine_thread.h"
#include "db/error.h"
#include "db/schema.h"
#include "db/sql_error.h"
#include "db/sqlite/new_database_sqlite.h"
#include "db/sqlite/sqlite_dialect.h"

#include <QAtomicInt>
#include <QSqlQuery>

namespace rek2 {

namespace {
QAtomicInt sessionCounter;
}

Session::Session()
    : connectionName_(QStringLiteral("rek2_session_%1").arg(sessionCounter.fetchAndAddRelaxed(1) + 1)),
      dialect_(makeDialect(QString()))
{
}

Session::~Session()
{
    try {
        LogOff();
    } catch (...) {
        // A destructor reports nothing; the engine has rolled back anyway.
    }
}

bool Session::Connected() const
{
    return connected_;
}

QSqlDatabase Session::database() const
{
    return QSqlDatabase::database(connectionName_, false);
}

void Session::LogOn()
{
    LogOff();
    const QString name = LogonDatabase.trimmed();
    if (name.isEmpty())
        throw DbError(QStringLiteral("Ime baze podatkov ni podano."));
    dialect_ = makeDialect(name);
    dialect_->open(connectionName_, {name, LogonUsername, LogonPassword, busyTimeoutMs_}, *this);
    connected_ = true;
    engineCallsBack_ = dialect_->watchStatements(*this, bool(pulse_));
    inTransaction_ = false;
    // A database of another version is refused before anything reads or
    // writes it.
    const QString problem = schemaVersionProblem(database(), *dialect_);
    if (!problem.isEmpty()) {
        LogOff();
        throw DbError(problem);
    }
    inTransaction_ = false;
}

void Session::LogOnInMemory()
{
    LogOff();
    dialect_ = sqlite::makeDialect();
    dialect_->open(connectionName_, {sqlite::kInMemory, {}, {}, busyTimeoutMs_}, *this);
    connected_ = true;
    engineCallsBack_ = dialect_->watchStatements(*this, bool(pulse_));
    inTransaction_ = false;
}

void Session::LogOff()
{
    if (!connected_)
        return;
    refuseDuringPulse();
    if (inTransaction_) {
        try {
            Rollback();
        } catch (...) {
            inTransaction_ = false;
        }
    }
    connected_ = false;
    dialect_->closing();
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connectionName_);
    engineThread_.reset();
}

void Session::StartTransaction()
{
    if (!connected_)
        throw DbError(QStringLiteral("Not logged on"));
    if (inTransaction_)
        throw DbError(QStringLiteral("A transaction is already active"));
    refuseDuringPulse();
    // Beginning may wait for another writer (on SQLite, which calls back
    // while it waits; on PostgreSQL it never waits).
    Working working(*this);
    dialect_->beginTransaction(*this);
    inTransaction_ = true;
}

void Session::Commit()
{
    if (!connected_ || !inTransaction_)
        return;
    refuseDuringPulse();
    inTransaction_ = false;
    Working working(*this);
    dialect_->commitTransaction(*this);
}

void Session::Rollback()
{
    if (!connected_ || !inTransaction_)
        return;
    refuseDuringPulse();
    inTransaction_ = false;
    dialect_->rollbackTransaction(*this);
}

void Session::setBusyTimeout(int milliseconds)
{
    busyTimeoutMs_ = milliseconds;
    if (connected_)
        dialect_->setLockTimeout(*this, milliseconds);
}

void Session::executeDirect(const QString& engineSql)
{
    if (!connected_)
        throw DbError(QStringLiteral("Not logged on"));
    refuseDuringPulse();
    QSqlQuery q(database());
    bool done = false;
    runEngineWork([&] { done = q.exec(engineSql); });
    if (!done) {
        const QSqlError e = q.lastError();
        if (!inTransaction_)
            dialect_->statementFailed(*this);
        throwSqlError(e);
    }
}

void Session::setPulse(std::function<void()> pulse)
{
    pulse_ = std::move(pulse);
    if (connected_)
        engineCallsBack_ = dialect_->watchStatements(*this, bool(pulse_));
}

void Session::runEngineWork(const std::function<void()>& work)
{
    // The engine thread is busy with the work the pulse interrupts.
    refuseDuringPulse();
    Working working(*this);
    if (!pulse_ || engineCallsBack_) {
        work();
        return;
    }
    if (!engineThread_)
        engineThread_ = std::make_unique<EngineThread>();
    engineThread_->run(
        work, [this] { engineWorking(); }, kPulseIntervalMs);
}

Session::Working::Working(Session& session) : session_(session)
{
    if (session_.working_++ == 0)
        session_.sincePulse_.start();
}

Session::Working::~Working()
{
    --session_.working_;
}

void Session::engineWorking()
{
    if (!pulse_ || working_ == 0 || inPulse_ || sincePulse_.elapsed() < kPulseIntervalMs)
        return;
    inPulse_ = true;
    try {
        pulse_();
    } catch (...) {
        // The engine called from the middle of its work: nothing may pass
        // through it. What the pulse does (repainting) has no result to lose.
    }
    inPulse_ = false;
    sincePulse_.start();
}

void Session::refuseDuringPulse() const
{
    if (inPulse_)
        throw DbError(QStringLiteral("Baza podatkov ravno izvaja drug ukaz tega okna; ukaz ni bil izveden."));
}

void Session::createDatabaseFile(const QString& path)
{
    sqlite::createDatabaseFile(path);
}

} // namespace rek2
