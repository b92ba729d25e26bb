#include "support/test_engine.h"

#include "db/postgres/postgres_conninfo.h"
#include "db/postgres/schema_postgres.h"
#include "db/session.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <gtest/gtest.h>

namespace rek2::test {

namespace {

QString adminInfo()
{
    return qEnvironmentVariable("REK2_TEST_POSTGRES");
}

// Runs one statement on the maintenance database.
void admin(const QString& sql)
{
    const QString name = QStringLiteral("test-admin-") + QUuid::createUuid().toString(QUuid::Id128);
    {
        QSqlDatabase db = addTestConnection(name, adminInfo());
        if (!db.open()) {
            ADD_FAILURE() << "cannot reach the test cluster: " << db.lastError().text().toStdString();
        } else {
            QSqlQuery q(db);
            if (!q.exec(sql))
                ADD_FAILURE() << sql.toStdString() << ": " << q.lastError().text().toStdString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

} // namespace

bool onPostgres()
{
    return !adminInfo().isEmpty();
}

QString createTestDatabase(const QString& filePath, bool bare)
{
    if (!onPostgres()) {
        if (!bare)
            Session::createDatabaseFile(filePath);
        return filePath;
    }
    const QString db = QStringLiteral("rek2_t_") + QUuid::createUuid().toString(QUuid::Id128);
    admin(QStringLiteral("CREATE DATABASE ") + db);
    // Later keywords win: the cluster's string with this database.
    const QString name = adminInfo() + QStringLiteral(" dbname=") + db;
    if (bare)
        return name;
    // The two sequences and the Oracle functions, as a new SQLite file has
    // its counters' table and a session its registered functions.
    const QString conn = QStringLiteral("test-seq-") + QUuid::createUuid().toString(QUuid::Id128);
    {
        QSqlDatabase d = addTestConnection(conn, name);
        if (!d.open()) {
            ADD_FAILURE() << d.lastError().text().toStdString();
        } else {
            QSqlQuery q(d);
            QStringList statements = {QStringLiteral("CREATE SEQUENCE ID_REK2_ANAL_SEQ"),
                                      QStringLiteral("CREATE SEQUENCE ID_REK2_ZBIR_SEQ")};
            statements << postgres::functionStatements();
            for (const QString& sql : statements)
                if (!q.exec(sql))
                    ADD_FAILURE() << sql.toStdString() << ": " << q.lastError().text().toStdString();
        }
        d.close();
    }
    QSqlDatabase::removeDatabase(conn);
    return name;
}

void dropTestDatabase(const QString& name)
{
    if (!onPostgres() || !postgres::isConnectionString(name))
        return;
    const QString db = postgres::parseConnectionString(name).dbname;
    if (db.startsWith(QLatin1String("rek2_t_")))
        admin(QStringLiteral("DROP DATABASE IF EXISTS ") + db + QStringLiteral(" WITH (FORCE)"));
}

QSqlDatabase addTestConnection(const QString& connectionName, const QString& name)
{
    if (!postgres::isConnectionString(name)) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
        db.setDatabaseName(name);
        return db;
    }
    const postgres::ConnInfo c = postgres::parseConnectionString(name);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName);
    db.setDatabaseName(c.dbname);
    db.setHostName(c.host);
    if (c.port > 0)
        db.setPort(c.port);
    db.setUserName(c.user);
    db.setPassword(c.password);
    db.setConnectOptions(c.options.join(QLatin1Char(';')));
    return db;
}

void setNextSequenceValue(Session& session, const QString& name, qint64 nextValue)
{
    if (session.engine() == QLatin1String("QPSQL"))
        session.executeDirect(QStringLiteral("SELECT setval('%1', %2, false)").arg(name).arg(nextValue));
    else
        session.executeDirect(
            QStringLiteral("INSERT INTO REK2_SEQUENCES VALUES ('%1', %2) ON CONFLICT(NAME) DO "
                           "UPDATE SET NEXT_VALUE = excluded.NEXT_VALUE")
                .arg(name)
                .arg(nextValue));
}

QStringList failingTrigger(const QString& name, const QString& event, const QString& table,
                           const QString& condition, const QString& message)
{
    QString quoted = message;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    if (!onPostgres()) {
        const QString when = condition.isEmpty() ? QString() : QStringLiteral(" WHEN ") + condition;
        return {QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3%4 BEGIN SELECT RAISE(ABORT, '%5'); END")
                    .arg(name, event, table, when, quoted)};
    }
    const QString test = condition.isEmpty() ? QStringLiteral("TRUE") : condition;
    return {QStringLiteral("CREATE FUNCTION %1_FN() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN IF %2 THEN "
                           "RAISE EXCEPTION '%3'; END IF; RETURN NEW; END $$")
                .arg(name, test, quoted),
            QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 FOR EACH ROW EXECUTE FUNCTION %1_FN()")
                .arg(name, event, table)};
}

QString infinity()
{
    return onPostgres() ? QStringLiteral("'Infinity'") : QStringLiteral("1e308 * 10");
}

QString charCodes(std::initializer_list<int> codes)
{
    QStringList parts;
    for (int c : codes)
        parts << (onPostgres() ? QStringLiteral("chr(%1)") : QStringLiteral("char(%1)")).arg(c);
    return parts.join(QStringLiteral(" || "));
}

} // namespace rek2::test
