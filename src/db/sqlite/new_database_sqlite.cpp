#include "db/bulk.h"
#include "db/schema.h"
#include "db/sqlite/bulk_sqlite.h"

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

void createNewDatabase(const QString& path, bool withPayer, const std::function<void(BulkLoader&)>& fill)
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

QStringList databaseFiles(const QString& path)
{
    return {path, path + QStringLiteral("-wal"), path + QStringLiteral("-shm"),
            path + QStringLiteral("-journal")};
}

} // namespace rek2
