#include "support/fixture_db.h"

#include "db/schema.h"
#include "support/test_engine.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariantList>
#include <gtest/gtest.h>
#include <stdexcept>

namespace rek2::test {

namespace {

// The tests' own SQL reads lists with SQLite's GROUP_CONCAT; the PostgreSQL
// fixtures get the same aggregate (values in the order they are read).
void addSqliteAggregates(QSqlDatabase& db)
{
    QSqlQuery q(db);
    for (const char* sql : {
             "CREATE FUNCTION group_concat_step(acc text, v anyelement, sep text) RETURNS text LANGUAGE sql "
             "IMMUTABLE AS 'SELECT CASE WHEN v IS NULL THEN acc WHEN acc IS NULL THEN v::text ELSE acc || "
             "sep || "
             "v::text END'",
             "CREATE FUNCTION group_concat_step(acc text, v anyelement) RETURNS text LANGUAGE sql IMMUTABLE "
             "AS "
             "'SELECT group_concat_step(acc, v, '','')'",
             "CREATE AGGREGATE group_concat(anyelement, text) (SFUNC = group_concat_step, STYPE = text)",
             "CREATE AGGREGATE group_concat(anyelement) (SFUNC = group_concat_step, STYPE = text)",
         }) {
        if (!q.exec(QString::fromLatin1(sql)))
            ADD_FAILURE() << sql << ": " << q.lastError().text().toStdString();
    }
}

} // namespace

void createFixtureFile(const QString& path, bool sifBasics)
{
    const QString name = QStringLiteral("fixture-create-") + QUuid::createUuid().toString(QUuid::Id128);
    {
        QSqlDatabase db = addTestConnection(name, path);
        if (!db.open()) {
            ADD_FAILURE() << "cannot open " << path.toStdString() << ": "
                          << db.lastError().text().toStdString();
        } else {
            try {
                createSchema(db);
                if (onPostgres())
                    addSqliteAggregates(db);
                if (sifBasics)
                    rek2::insertSifBasics(db);
            } catch (const std::exception& e) {
                ADD_FAILURE() << "fixture schema: " << e.what();
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
}

FixtureDb::FixtureDb(Content content)
{
    folderPath_ = dir_.path();
    connectionName_ = QStringLiteral("fixture-") + QUuid::createUuid().toString(QUuid::Id128);
    // On PostgreSQL a new empty database; on SQLite the file is made below.
    path_ = createTestDatabase(dir_.filePath(QStringLiteral("rek2.db")), true);
    createFixtureFile(path_, content == Content::SifBasics);
}

FixtureDb::~FixtureDb()
{
    if (QSqlDatabase::contains(connectionName_)) {
        {
            QSqlDatabase d = QSqlDatabase::database(connectionName_, false);
            d.close();
        }
        QSqlDatabase::removeDatabase(connectionName_);
    }
    dropTestDatabase(path_);
}

QSqlDatabase FixtureDb::db()
{
    if (!QSqlDatabase::contains(connectionName_)) {
        addTestConnection(connectionName_, path_);
    }
    QSqlDatabase d = QSqlDatabase::database(connectionName_, true);
    if (!d.isOpen())
        ADD_FAILURE() << "cannot open fixture " << path_.toStdString() << ": "
                      << d.lastError().text().toStdString();
    return d;
}

void FixtureDb::exec(const QString& sql)
{
    QSqlQuery q(db());
    if (!q.exec(sql))
        ADD_FAILURE() << sql.toStdString() << ": " << q.lastError().text().toStdString();
}

} // namespace rek2::test
