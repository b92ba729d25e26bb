#include "db/dialect.h"
#include "db/error.h"
#include "db/session.h"
#include "db/sqlite/oracle_rewrite.h"
#include "db/sqlite/sequences.h"
#include "db/sqlite/sqlite_fetch.h"
#include "db/sqlite/sqlite_functions.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <sqlite3.h>

namespace rek2 {

Dialect::Translation Dialect::bindOnly(const QString& engineSql) const
{
    sql::Tokens t = sql::tokenize(engineSql);
    Translation out;
    sql::bindVariablesToPositional(t, out.variableNames);
    out.sql = sql::join(t);
    return out;
}

namespace {

// Oracle text on SQLite. The rewrites, in order:
//  - ''                      -> NULL (the empty string is NULL)
//  - SEQ.NEXTVAL, NEXTVAL FOR SEQ -> rek2_nextval('SEQ'), one value per row
//  - FROM dual, FROM SYSIBM.SYSDUMMY1 -> no FROM
//  - Current_Date            -> rek2_current_date() (local day, not UTC)
//  - a / b                   -> a * 1.0 / b: SQLite divides two integers as
//                               integers (20 / 100 = 0), Oracle never does
//  - a || b                  -> rek2_concat(a, b) (NULL-tolerant, numbers
//                               written as Oracle writes them)
//  - a + b, a - b where a date may be involved -> rek2_plus / rek2_minus
//                               (days, as Oracle reckons dates)
//  - correlated X IN (SELECT c FROM T WHERE ...) -> EXISTS (...)
//  - (SELECT x FROM ...) as a value -> (SELECT rek2_single(x) FROM ...):
//                               more than one row is an error, not the first row
//  - ORDER BY items          -> NULLS LAST / NULLS FIRST as on Oracle
//  - A.ROWID in a select list -> A.ROWID AS ROWID
//  - :NAME                   -> ? (bound by position)
// NVL, TRUNC, ROUND, ABS, upper keep their names: the registered functions
// give them Oracle's behaviour. ROWID is SQLite's own.
class SqliteDialect : public Dialect
{
public:
    QString engine() const override { return QStringLiteral("QSQLITE"); }

    Translation translate(const QString& oracleSql) const override
    {
        sql::Tokens t = sql::tokenize(oracleSql);
        sql::emptyStringToNull(t);
        sql::sequencesToFunction(t, QStringLiteral("rek2_nextval"));
        sql::dropDummyTables(t);
        sql::currentDateToFunction(t, QStringLiteral("rek2_current_date"));
        sql::realDivision(t);
        sql::additiveToFunctions(t, QStringLiteral("rek2_concat"), QStringLiteral("rek2_plus"),
                                 QStringLiteral("rek2_minus"));
        sql::correlatedInToExists(t);
        sql::scalarSubqueriesSingleRow(t, QStringLiteral("rek2_single"));
        sql::oracleNullOrdering(t);
        sql::nameRowidColumns(t);
        Translation out;
        sql::bindVariablesToPositional(t, out.variableNames);
        out.sql = sql::join(t);
        return out;
    }

    void prepareConnection(QSqlDatabase& db, Session& session) override
    {
        sqlite3* handle = nullptr;
        const QVariant v = db.driver()->handle();
        if (v.isValid() && qstrcmp(v.typeName(), "sqlite3*") == 0)
            handle = *static_cast<sqlite3* const*>(v.constData());
        if (!handle)
            throw DbError(QStringLiteral("No SQLite handle on the connection"));
        registerSqliteFunctions(handle, &session);
        session.sequences().setHandle(handle);
        sqlite3_busy_timeout(handle, session.busyTimeout());
        QSqlQuery q(db);
        const auto fail = [&q] {
            throw DbError(q.lastError().databaseText().isEmpty() ? q.lastError().text()
                                                                 : q.lastError().databaseText());
        };
        // A file that is not a database fails here, with the engine's message.
        if (!q.exec(QStringLiteral("PRAGMA schema_version")))
            fail();
        q.finish();
        for (const char* pragma : {"PRAGMA foreign_keys=OFF", "PRAGMA case_sensitive_like=ON"})
            if (!q.exec(QString::fromLatin1(pragma)))
                fail();
        // WAL is kept in the file: it is switched on once, by a connection
        // that may write (a read-only one cannot, and need not).
        if (sqlite3_db_readonly(handle, "main") == 0) {
            if (!q.exec(QStringLiteral("PRAGMA journal_mode")))
                fail();
            const bool wal =
                q.next() && q.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0;
            q.finish();
            if (!wal && !q.exec(QStringLiteral("PRAGMA journal_mode=WAL")))
                fail();
        }
        q.finish();
        // The sequence counters' table is made by the first draw, a write:
        // logging on changes nothing in the file.
    }

    // BEGIN IMMEDIATE takes the write lock at once, so a row checked under it
    // cannot change before it is written. The savepoint lets Rollback undo
    // the caller's work while keeping the lock, write the sequence counters
    // back and commit them: no other connection can draw in between.
    void beginTransaction(Session& session) override
    {
        exec(session, "BEGIN IMMEDIATE");
        try {
            exec(session, "SAVEPOINT rek2_tx");
        } catch (...) {
            execQuietly(session, "ROLLBACK");
            throw;
        }
    }

    void commitTransaction(Session& session) override { endTransaction(session, false); }
    void rollbackTransaction(Session& session) override { endTransaction(session, true); }

    void statementFailed(Session& session) override
    {
        // Outside a transaction SQLite undid the statement, counters included.
        session.sequences().reset();
    }

    bool fetchAll(QSqlQuery& q, const std::vector<int>& source, RowStore& store) const override
    {
        return sqliteFetchAll(q, source, store);
    }

    bool isLockConflict(const QString& message) const override
    {
        return message.contains(QLatin1String("database is locked")) ||
               message.contains(QLatin1String("database table is locked"));
    }

private:
    static void endTransaction(Session& session, bool rollback)
    {
        if (sqlite3_get_autocommit(handle(session))) {
            // The engine already rolled the transaction back (after a severe
            // error). The counters may have gone back and another connection
            // may have drawn since, so this session's blocks are dropped.
            session.sequences().reset();
            if (rollback)
                return;
            throw DbError(QStringLiteral("cannot commit - no transaction is active"));
        }
        try {
            if (rollback)
                exec(session, "ROLLBACK TO rek2_tx");
            session.sequences().writeBack();
            exec(session, "COMMIT");
        } catch (...) {
            execQuietly(session, "ROLLBACK");
            session.sequences().reset();
            throw;
        }
    }

    static sqlite3* handle(Session& session)
    {
        const QVariant v = session.database().driver()->handle();
        return *static_cast<sqlite3* const*>(v.constData());
    }
    static void exec(Session& session, const char* sql)
    {
        char* err = nullptr;
        if (sqlite3_exec(handle(session), sql, nullptr, nullptr, &err) != SQLITE_OK) {
            const QString m = QString::fromUtf8(err ? err : sqlite3_errmsg(handle(session)));
            sqlite3_free(err);
            throw DbError(m);
        }
    }
    static void execQuietly(Session& session, const char* sql)
    {
        sqlite3_exec(handle(session), sql, nullptr, nullptr, nullptr);
    }
};

} // namespace

std::unique_ptr<Dialect> makeSqliteDialect()
{
    return std::make_unique<SqliteDialect>();
}

} // namespace rek2
