#include "db/session.h"

#include "db/error.h"
#include "db/sql_error.h"
#include "db/sqlite/sequences.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QStringList>
#include <QUrl>
#include <sqlite3.h>

namespace rek2 {

namespace {
QAtomicInt sessionCounter;
}

Session::Session()
    : connectionName_(QStringLiteral("rek2_session_%1").arg(sessionCounter.fetchAndAddRelaxed(1) + 1)),
      dialect_(makeSqliteDialect()), sequences_(std::make_unique<SequenceCache>())
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
    const QString path = LogonDatabase.trimmed();
    if (path.isEmpty())
        throw DbError(QStringLiteral("Ime baze podatkov ni podano."));
    // Only the schema creator makes database files: a missing one is an error.
    const QFileInfo file(path);
    if (!file.isFile())
        throw DbError(QStringLiteral("Baza podatkov ne obstaja: ") + path);
    // The engine would take an empty file for a new database and write one
    // into it; a file the store did not make is never changed.
    if (file.size() == 0)
        throw DbError(QStringLiteral("file is not a database"));
    // mode=rw: never create the file here. A file the user may only read is
    // opened for reading: viewing works, writing fails with the engine's own
    // message. Where not even the engine's shared-memory file can be made
    // beside it (a read-only folder or file system), it is read as a file
    // nobody changes.
    const bool writable = file.isWritable() && QFileInfo(file.absolutePath()).isWritable();
    const QString url = QUrl::fromLocalFile(file.absoluteFilePath()).toString(QUrl::FullyEncoded);
    const QStringList modes =
        writable ? QStringList{QStringLiteral("?mode=rw")}
                 : QStringList{QStringLiteral("?mode=ro"), QStringLiteral("?mode=ro&immutable=1")};
    for (qsizetype attempt = 0; attempt < modes.size(); ++attempt) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName_);
        db.setDatabaseName(url + modes[attempt]);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs_));
        if (!db.open()) {
            const QString msg = engineMessage(db.lastError());
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(connectionName_);
            throw DbError(msg);
        }
        try {
            dialect_->prepareConnection(db, *this);
            break;
        } catch (const DbError& e) {
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(connectionName_);
            sequences_->setHandle(nullptr);
            if (attempt + 1 < modes.size() && e.message() == QLatin1String("unable to open database file"))
                continue;
            throw;
        } catch (...) {
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(connectionName_);
            sequences_->setHandle(nullptr);
            throw;
        }
    }
    sequences_->reset();
    connected_ = true;
    inTransaction_ = false;
}

void Session::LogOnInMemory()
{
    LogOff();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName_);
        db.setDatabaseName(QStringLiteral(":memory:"));
        if (!db.open()) {
            const QString msg = engineMessage(db.lastError());
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(connectionName_);
            throw DbError(msg);
        }
        try {
            dialect_->prepareConnection(db, *this);
        } catch (...) {
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(connectionName_);
            sequences_->setHandle(nullptr);
            throw;
        }
    }
    sequences_->reset();
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
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connectionName_);
    sequences_->setHandle(nullptr);
    sequences_->reset();
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
    if (!connected_)
        return;
    const QVariant v = database().driver()->handle();
    if (v.isValid() && qstrcmp(v.typeName(), "sqlite3*") == 0)
        sqlite3_busy_timeout(*static_cast<sqlite3* const*>(v.constData()), milliseconds);
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
    if (QFileInfo::exists(path))
        throw DbError(QStringLiteral("Datoteka že obstaja: ") + path);
    sqlite3* db = nullptr;
    const QByteArray p = path.toUtf8();
    int rc = sqlite3_open_v2(p.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, sequenceTableDdl().toUtf8().constData(), nullptr, nullptr, nullptr);
    const QString msg = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
    sqlite3_close(db);
    if (rc != SQLITE_OK)
        throw DbError(msg);
}

} // namespace rek2
