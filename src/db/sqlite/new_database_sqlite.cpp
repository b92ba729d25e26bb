#include "db/sqlite/new_database_sqlite.h"

#include "db/error.h"
#include "db/schema.h"
#include "db/sqlite/bulk_sqlite.h"
#include "db/sqlite/sequences.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QUuid>
#include <sqlite3.h>
#include <stdexcept>

namespace rek2 {

namespace {

QString engineMessage(const QSqlError& e)
{
    return e.databaseText().isEmpty() ? e.text() : e.databaseText();
}

sqlite3* sqliteHandle(const QSqlDatabase& db)
{
    const QVariant v = db.driver()->handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0)
        throw std::runtime_error("no SQLite handle");
    return *static_cast<sqlite3* const*>(v.constData());
}

class Connection
{
public:
    explicit Connection(const QString& path)
        : name_(QStringLiteral("rek2-new-database-") + QUuid::createUuid().toString(QUuid::Id128))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
        db.setDatabaseName(path);
    }
    ~Connection()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(name_, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(name_);
    }
    QSqlDatabase db() const { return QSqlDatabase::database(name_, false); }

private:
    QString name_;
};

} // namespace

namespace {

void createAndFill(const QString& path, bool withPayer, const std::function<void(BulkLoader&)>& fill)
{
    Connection c(path);
    QSqlDatabase db = c.db();
    if (!db.open())
        throw std::runtime_error(engineMessage(db.lastError()).toStdString());
    QSqlQuery q(db);
    // The file is new and is removed when anything fails, so while it is
    // filled it needs no durability, only a large page cache for the indexes.
    for (const char* pragma :
         {"PRAGMA synchronous=OFF", "PRAGMA cache_size=-131072", "PRAGMA journal_mode=MEMORY"}) {
        if (!q.exec(QString::fromLatin1(pragma)))
            throw std::runtime_error(engineMessage(q.lastError()).toStdString());
    }
    q.finish();
    createSchema(db);

    if (!db.transaction())
        throw std::runtime_error(engineMessage(db.lastError()).toStdString());
    try {
        insertSifBasics(db, withPayer);
        if (fill) {
            sqlite::SqliteBulkLoader loader(sqliteHandle(db));
            fill(loader);
        }
        if (!db.commit())
            throw std::runtime_error(engineMessage(db.lastError()).toStdString());
    } catch (...) {
        db.rollback();
        throw;
    }
    // WAL mode from now on: readers never block the operator, a crash never
    // leaves half a transaction.
    for (const char* pragma : {"PRAGMA optimize", "PRAGMA synchronous=FULL", "PRAGMA journal_mode=WAL"}) {
        if (!q.exec(QString::fromLatin1(pragma)))
            throw std::runtime_error(engineMessage(q.lastError()).toStdString());
    }
    q.finish();
}

// The files a database at `path` may consist of (itself and its journals).
QStringList databaseFiles(const QString& path)
{
    return {path, path + QStringLiteral("-wal"), path + QStringLiteral("-shm"),
            path + QStringLiteral("-journal")};
}

} // namespace

void sqlite::createNewDatabase(const QString& path, bool withPayer,
                               const std::function<void(BulkLoader&)>& fill)
{
    if (QFileInfo::exists(path))
        throw std::runtime_error(QStringLiteral("Datoteka %1 že obstaja. Ukaz init ustvari samo novo bazo in "
                                                "obstoječe ne prepiše.")
                                     .arg(QDir::toNativeSeparators(path))
                                     .toStdString());
    // The database is built beside its final name and renamed when complete,
    // so an interrupted init never leaves a file that looks like a database.
    const QString building =
        path + QStringLiteral(".init-") + QUuid::createUuid().toString(QUuid::Id128).left(8);
    auto removeBuilding = [&building] {
        for (const QString& file : databaseFiles(building))
            QFile::remove(file);
    };
    try {
        createAndFill(building, withPayer, fill);
    } catch (...) {
        removeBuilding();
        throw;
    }
    // QFile::rename never replaces a file that appeared meanwhile.
    if (!QFile::rename(building, path)) {
        removeBuilding();
        throw std::runtime_error(
            QStringLiteral("Datoteke %1 ni bilo mogoče ustvariti (že obstaja ali mapa ni zapisljiva).")
                .arg(QDir::toNativeSeparators(path))
                .toStdString());
    }
}

void sqlite::createDatabaseFile(const QString& path)
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
