#include "db/postgres/new_database_postgres.h"

#include "db/dialect.h"
#include "db/postgres/postgres_conninfo.h"
#include "db/postgres/schema_postgres.h"
#include "db/schema.h"
#include "db/sql_error.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QUuid>
#include <stdexcept>

namespace rek2::postgres {

namespace {

[[noreturn]] void fail(const QSqlError& e)
{
    throw std::runtime_error(engineMessage(e).toStdString());
}

// One prepared INSERT, run once per row.
class PgStatement : public BulkStatement
{
public:
    PgStatement(const QSqlDatabase& db, const char* sql) : q_(db)
    {
        if (!q_.prepare(QString::fromUtf8(sql)))
            fail(q_.lastError());
    }
    void insert(std::initializer_list<QVariant> values) override
    {
        int i = 0;
        for (const QVariant& v : values)
            q_.bindValue(i++, v.isValid() ? v : QVariant(QMetaType(QMetaType::QString)));
        if (!q_.exec())
            fail(q_.lastError());
    }

private:
    QSqlQuery q_;
};

class PgLoader : public BulkLoader
{
public:
    explicit PgLoader(QSqlDatabase db) : db_(std::move(db)) {}
    std::unique_ptr<BulkStatement> prepare(const char* sql) override
    {
        return std::make_unique<PgStatement>(db_, sql);
    }
    void exec(const char* sql) override
    {
        QSqlQuery q(db_);
        if (!q.exec(QString::fromUtf8(sql)))
            fail(q.lastError());
    }

private:
    QSqlDatabase db_;
};

class Connection
{
public:
    Connection(const QString& name, const QString& user, const QString& password)
        : name_(QStringLiteral("rek2-new-database-") + QUuid::createUuid().toString(QUuid::Id128))
    {
        const ConnInfo c = parseConnectionString(name);
        QSqlDatabase db = addConnection(name_, c, user, password);
        db.setConnectOptions(c.options.join(QLatin1Char(';')));
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

void run(QSqlQuery& q, const QString& sql)
{
    if (!q.exec(sql))
        fail(q.lastError());
}

} // namespace

void createNewDatabase(const QString& name, const QString& user, const QString& password, bool withPayer,
                       const std::function<void(BulkLoader&)>& fill)
{
    Connection c(name, user, password);
    QSqlDatabase db = c.db();
    if (!db.open())
        fail(db.lastError());
    QSqlQuery q(db);
    run(q, QStringLiteral("SET client_min_messages = warning"));
    run(q,
        QStringLiteral("SELECT count(*) FROM information_schema.tables WHERE table_schema = "
                       "current_schema() AND table_name IN ('rek2_anal', 'rek2_zbir', 'rek2_dog', 'dog')"));
    if (q.next() && q.value(0).toInt() > 0)
        throw std::runtime_error(QStringLiteral("Baza %1 že vsebuje tabele sistema. Ukaz init ustvari samo "
                                                "novo bazo in obstoječe ne prepiše.")
                                     .arg(displayDatabaseName(name))
                                     .toStdString());
    q.finish();
    // DDL is transactional here: a failure leaves the database as it was.
    run(q, QStringLiteral("BEGIN"));
    try {
        for (const QString& statement : schemaStatements())
            run(q, statement);
        insertSifBasics(db, withPayer);
        if (fill) {
            PgLoader loader(db);
            fill(loader);
        }
        run(q, QStringLiteral("COMMIT"));
    } catch (...) {
        q.exec(QStringLiteral("ROLLBACK"));
        throw;
    }
    // Fresh statistics, so the first collection is planned on the real sizes.
    run(q, QStringLiteral("ANALYZE"));
}

} // namespace rek2::postgres
