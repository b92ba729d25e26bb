#include "db/postgres/postgres_dialect.h"

#include "db/error.h"
#include "db/oracle_rewrite.h"
#include "db/postgres/postgres_conninfo.h"
#include "db/postgres/postgres_rewrite.h"
#include "db/session.h"
#include "db/sql_error.h"

#include <QHash>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTimeZone>

namespace rek2 {

namespace {

// Oracle text on PostgreSQL. PostgreSQL has most of what the statements rely
// on: sequences outside transactions, exact numeric, the single-row rule of
// scalar subqueries, NULLs last on ascending order, CURRENT_DATE (the session
// runs in the workstation's time zone), ROUND half away from zero on numeric,
// TRUNC of numbers, upper/lower of every letter (a UTF-8 database). The
// rewrites, in order:
//  - ''                      -> NULL (Oracle's empty string is NULL)
//  - SEQ.NEXTVAL, NEXTVAL FOR SEQ -> nextval('SEQ'), one value per row
//  - FROM dual, FROM SYSIBM.SYSDUMMY1 -> no FROM
//  - a / b                   -> a * 1.0 / b (never integer division)
//  - NVL(a, b)               -> COALESCE(a, b)
//  - a || b                  -> NULLIF(CONCAT(a, b), ''): a NULL operand
//                               counts as empty, an all-empty result is NULL
//  - correlated X IN (SELECT c FROM T WHERE ...) -> EXISTS (...), which the
//                               planner runs as a join instead of once per row
//  - A.ROWID in a select list -> the row's ctid as text, named ROWID; the
//                               writer finds the row again by its key columns
//  - FROM (SELECT ...)       -> FROM (SELECT ...) rek2_from_N (a subquery in
//                               FROM must be named)
//  - :NAME                   -> ? (bound by position)
class PostgresDialect : public Dialect
{
public:
    QString engine() const override { return QStringLiteral("QPSQL"); }

    Translation translate(const QString& oracleSql) const override
    {
        sql::Tokens t = sql::tokenize(oracleSql);
        sql::emptyStringToNull(t);
        sql::sequencesToFunction(t, QStringLiteral("nextval"));
        sql::dropDummyTables(t);
        sql::realDivision(t);
        sql::nvlToCoalesce(t);
        sql::additiveToFunctions(t, QStringLiteral("rek2_concat"), QStringLiteral("rek2_plus"),
                                 QStringLiteral("rek2_minus"));
        sql::callsToOperator(t, QStringLiteral("rek2_plus"), QStringLiteral("+"));
        sql::callsToOperator(t, QStringLiteral("rek2_minus"), QStringLiteral("-"));
        sql::concatCallsToNullIf(t, QStringLiteral("rek2_concat"));
        sql::correlatedInToExists(t);
        sql::rowidToRowMark(t);
        sql::nameFromSubqueries(t);
        Translation out;
        sql::bindVariablesToPositional(t, out.variableNames);
        out.sql = sql::join(t);
        return out;
    }

    void open(const QString& connectionName, const Logon& logon, Session& /*session*/) override
    {
        const postgres::ConnInfo c = postgres::parseConnectionString(logon.database);
        QSqlDatabase db = postgres::addConnection(connectionName, c, logon.user, logon.password);
        QStringList options = c.options;
        if (!options.join(QLatin1Char(' ')).contains(QLatin1String("connect_timeout")))
            options << QStringLiteral("connect_timeout=10");
        db.setConnectOptions(options.join(QLatin1Char(';')));
        try {
            if (!db.open())
                throw DbError(engineMessage(db.lastError()));
            prepare(db, logon.lockTimeoutMs);
        } catch (...) {
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(connectionName);
            throw;
        }
    }

    void setLockTimeout(Session& session, int milliseconds) override
    {
        QSqlDatabase db = session.database();
        exec(db, QStringLiteral("SET lock_timeout = %1").arg(qMax(0, milliseconds)));
    }

    void tableChanged(Session& session, const QString& table) override
    {
        exec(session, QStringLiteral("ANALYZE ") + table);
    }

    void beginTransaction(Session& session) override { exec(session, QStringLiteral("BEGIN")); }
    void commitTransaction(Session& session) override
    {
        // COMMIT of a transaction a failed statement aborted rolls it back
        // without an error; the caller must not take that for success.
        QSqlQuery q(session.database());
        if (!q.exec(QStringLiteral("COMMIT")))
            throwSqlError(q.lastError());
    }
    void rollbackTransaction(Session& session) override { exec(session, QStringLiteral("ROLLBACK")); }

    bool isLockConflict(const QString& message) const override
    {
        return isLockMessage(message);
    }

    void serialize(Session& session, const QString& work) override
    {
        // A transaction-scoped advisory lock, released by COMMIT or ROLLBACK
        // and when the connection is lost.
        waitForLock(session, QStringLiteral("SELECT pg_advisory_xact_lock(hashtext(?))"), work, true);
    }

    void holdWork(Session& session, const QString& work, bool hold) override
    {
        // A session-level advisory lock (released also when the connection
        // is lost); taken again by the same session it counts up.
        if (hold)
            waitForLock(session, QStringLiteral("SELECT pg_advisory_lock(hashtext(?))"), work, false);
        else
            waitForLock(session, QStringLiteral("SELECT pg_advisory_unlock(hashtext(?))"), work, false);
    }

    // Unquoted names come back in lower case; Oracle gives them in upper case.
    QString columnName(const QString& engineName) const override
    {
        return engineName == engineName.toLower() ? engineName.toUpper() : engineName;
    }

    std::vector<FieldType> resultTypes(const QSqlQuery& q, int count) const override
    {
        std::vector<FieldType> types(size_t(count), FieldType::Variant);
        const QSqlRecord rec = q.record();
        for (int i = 0; i < count && i < rec.count(); ++i) {
            switch (rec.field(i).metaType().id()) {
            case QMetaType::Int:
            case QMetaType::LongLong:
            case QMetaType::UInt:
            case QMetaType::ULongLong:
                types[size_t(i)] = FieldType::Integer;
                break;
            case QMetaType::Double:
                types[size_t(i)] = FieldType::Float;
                break;
            case QMetaType::QDate:
            case QMetaType::QDateTime:
                types[size_t(i)] = FieldType::Date;
                break;
            case QMetaType::QString:
                types[size_t(i)] = FieldType::String;
                break;
            default:
                break;
            }
        }
        return types;
    }

    QString catalogName(const QString& table) const override { return table.toLower(); }
    QString quoteIdentifier(const QString& name) const override
    {
        return Dialect::quoteIdentifier(name.toLower());
    }

    // The columns that find a row again. REK2_DOG has no single key: a link
    // is one event, one kind and the analytic row it went into.
    QStringList rowKey(const QString& table) const override
    {
        static const QHash<QString, QStringList> keys = {
            {QStringLiteral("REK2_ANAL"), {QStringLiteral("ID_REK2_ANAL")}},
            {QStringLiteral("REK2_ANAL_HST"),
             {QStringLiteral("ID_REK2_ANAL"), QStringLiteral("ID_REK2_ZBIR")}},
            {QStringLiteral("REK2_ZBIR"), {QStringLiteral("ID_REK2_ZBIR")}},
            {QStringLiteral("REK2_ZBIR_HST"), {QStringLiteral("ID_REK2_ZBIR")}},
            {QStringLiteral("REK2_DOG"),
             {QStringLiteral("ID_REK2_ANAL"), QStringLiteral("ID_DOG"), QStringLiteral("DAVCNI_ODTEGLJAJ")}},
            {QStringLiteral("REK2_SIF"), {QStringLiteral("SSF"), QStringLiteral("SIF")}},
            {QStringLiteral("INISET"), {QStringLiteral("KLJUC")}},
        };
        return keys.value(table.toUpper());
    }

    bool hasRowId() const override { return false; }

    QString lockRowsClause() const override { return QStringLiteral(" FOR UPDATE NOWAIT"); }

private:
    // The other workstation's work may take a while, so this wait is longer
    // than a row lock's.
    static void waitForLock(Session& session, const QString& sql, const QString& work, bool inTransaction)
    {
        QSqlDatabase db = session.database();
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("SELECT current_setting('lock_timeout')")) || !q.next())
            throwSqlError(q.lastError());
        const QString usual = q.value(0).toString();
        exec(db, QStringLiteral("SELECT set_config('lock_timeout', '120s', %1)")
                     .arg(inTransaction ? QStringLiteral("true") : QStringLiteral("false")));
        q.prepare(sql);
        q.addBindValue(QStringLiteral("rek2:") + work);
        const bool ok = q.exec();
        const QSqlError error = q.lastError();
        QSqlQuery back(db);
        back.prepare(QStringLiteral("SELECT set_config('lock_timeout', ?, %1)")
                         .arg(inTransaction ? QStringLiteral("true") : QStringLiteral("false")));
        back.addBindValue(usual);
        back.exec();
        if (!ok)
            throwSqlError(error);
    }

    static void exec(QSqlDatabase db, const QString& sql)
    {
        QSqlQuery q(db);
        if (!q.exec(sql))
            throwSqlError(q.lastError());
    }
    static void exec(Session& session, const QString& sql) { exec(session.database(), sql); }

    // The session's settings: dates as ISO, the workstation's local day for
    // CURRENT_DATE, a lock wait of a few seconds instead of forever, no
    // notices on the console, and no just-in-time compilation.
    static void prepare(QSqlDatabase& db, int lockTimeoutMs)
    {
        exec(db, QStringLiteral("SET client_min_messages = warning"));
        exec(db, QStringLiteral("SET DateStyle = ISO"));
        // The collection's statements are large trees of expressions that run
        // once; compiling them cost the server more than running them (the
        // analytic insert of a 20,000-holder day: 8.4 s with, 2.1 s without).
        // A server without the setting (before version 11) compiles nothing.
        QSqlQuery(db).exec(QStringLiteral("SELECT set_config('jit', 'off', false)"));
        QSqlQuery q(db);
        q.prepare(QStringLiteral("SELECT set_config('TimeZone', ?, false)"));
        q.addBindValue(QString::fromUtf8(QTimeZone::systemTimeZoneId()));
        if (!q.exec()) {
            // A zone name the server does not know: its own offset keeps the day.
            const int offset = QTimeZone::systemTimeZone().offsetFromUtc(QDateTime::currentDateTime());
            exec(db, QStringLiteral("SET TimeZone = INTERVAL '%1 seconds'").arg(offset));
        }
        exec(db, QStringLiteral("SET lock_timeout = %1").arg(qMax(0, lockTimeoutMs)));
    }
};

} // namespace

std::unique_ptr<Dialect> postgres::makeDialect()
{
    return std::make_unique<PostgresDialect>();
}

} // namespace rek2
