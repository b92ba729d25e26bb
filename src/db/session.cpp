#include "db/session.h"

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
    inTransaction_ = false;
}

void Session::LogOff()
{
    if (!connected_)
        return;
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
}

void Session::StartTransaction()
{
    if (!connected_)
        throw DbError(QStringLiteral("Not logged on"));
    if (inTransaction_)
        throw DbError(QStringLiteral("A transaction is already active"));
    dialect_->beginTransaction(*this);
    inTransaction_ = true;
}

void Session::Commit()
{
    if (!connected_ || !inTransaction_)
        return;
    inTransaction_ = false;
    dialect_->commitTransaction(*this);
}

void Session::Rollback()
{
    if (!connected_ || !inTransaction_)
        return;
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
    QSqlQuery q(database());
    if (!q.exec(engineSql)) {
        const QSqlError e = q.lastError();
        if (!inTransaction_)
            dialect_->statementFailed(*this);
        throwSqlError(e);
    }
}

void Session::createDatabaseFile(const QString& path)
{
    sqlite::createDatabaseFile(path);
}

} // namespace rek2
