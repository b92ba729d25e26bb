#include "db/sqlite/sqlite_dialect.h"
#include "db/dialect.h"
#include "db/error.h"
#include "db/oracle_rewrite.h"
#include "db/row_cursor.h"
#include "db/session.h"
#include "db/sqlite/sequences.h"
#include "db/sqlite/sqlite_fetch.h"
#include "db/sqlite/sqlite_functions.h"

#include "db/sql_error.h"

#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlResult>
#include <QStringList>
#include <QUrl>
#include <algorithm>
#include <iterator>
#include <sqlite3.h>

namespace rek2 {

namespace {

FieldType typeOfDeclared(const QString& declared)
{
    const QString d = declared.toUpper();
    if (d.contains(QLatin1String("DATE")) || d.contains(QLatin1String("TIME")))
        return FieldType::Date;
    if (d.contains(QLatin1String("INT")))
        return FieldType::Integer;
    if (d.contains(QLatin1String("CHAR")) || d.contains(QLatin1String("CLOB")) ||
        d.contains(QLatin1String("TEXT")))
        return FieldType::String;
    if (d.contains(QLatin1String("REAL")) || d.contains(QLatin1String("FLOA")) ||
        d.contains(QLatin1String("DOUB")) || d.contains(QLatin1String("NUM")) ||
        d.contains(QLatin1String("DEC")))
        return FieldType::Float;
    return FieldType::Variant;
}

// SQLite counts every allocation under a global mutex so that it can report
// its memory use, which nothing here asks for; without it a large statement
// spends a few per cent less in the allocator. The setting is only taken
// before the library is first used, hence at start-up (afterwards it is
// refused, harmlessly).
const int kNoMemoryStatistics = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);

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

    void open(const QString& connectionName, const Logon& logon, Session& session) override
    {
        const QString path = logon.database;
        if (path == sqlite::kInMemory) {
            openInMemory(connectionName, logon.lockTimeoutMs);
            return;
        }
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
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
            db.setDatabaseName(url + modes[attempt]);
            db.setConnectOptions(
                QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(logon.lockTimeoutMs));
            if (!db.open()) {
                const QString msg = engineMessage(db.lastError());
                db = QSqlDatabase();
                QSqlDatabase::removeDatabase(connectionName);
                throw DbError(msg);
            }
            try {
                prepareConnection(db, logon.lockTimeoutMs);
                break;
            } catch (const DbError& e) {
                dropConnection(db, connectionName);
                if (attempt + 1 < modes.size() &&
                    e.message() == QLatin1String("unable to open database file"))
                    continue;
                throw;
            } catch (...) {
                dropConnection(db, connectionName);
                throw;
            }
        }
        sequences_.reset();
        (void)session;
    }

    void closing() override
    {
        lockWait_.session = nullptr;
        sequences_.setHandle(nullptr);
        sequences_.reset();
    }

    void setLockTimeout(Session& session, int milliseconds) override
    {
        lockWait_.timeoutMs = milliseconds;
        if (!lockWait_.session)
            sqlite3_busy_timeout(handle(session), milliseconds);
    }

    bool watchStatements(Session& session, bool on) override
    {
        sqlite3* h = openHandle(session);
        if (!h)
            return on; // nothing left to watch: the work stays where it is
        if (on) {
            sqlite3_progress_handler(h, kProgressOps, onProgress, &session);
            lockWait_.session = &session;
            sqlite3_busy_handler(h, onBusy, &lockWait_);
        } else {
            sqlite3_progress_handler(h, 0, nullptr, nullptr);
            lockWait_.session = nullptr;
            sqlite3_busy_timeout(h, lockWait_.timeoutMs);
        }
        return on;
    }

    std::vector<FieldType> resultTypes(const QSqlQuery& q, int count) const override
    {
        std::vector<FieldType> types(size_t(count), FieldType::Variant);
        const QVariant h = q.result()->handle();
        if (h.isValid() && qstrcmp(h.typeName(), "sqlite3_stmt*") == 0) {
            auto* st = *static_cast<sqlite3_stmt* const*>(h.constData());
            for (int i = 0; i < count && st; ++i)
                if (const char* d = sqlite3_column_decltype(st, i))
                    types[size_t(i)] = typeOfDeclared(QString::fromLatin1(d));
        }
        return types;
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

    void statementFailed(Session& /*session*/) override
    {
        // Outside a transaction SQLite undid the statement, counters included.
        sequences_.reset();
    }

    bool fetchAll(QSqlQuery& q, const std::vector<int>& source, const std::vector<SortColumn>& order,
                  const std::vector<LookedUpColumn>& lookups, RowStore& store) const override
    {
        return sqliteFetchAll(q, source, order, lookups, store);
    }
    std::unique_ptr<RowReader> rowReader(QSqlQuery& q) const override { return sqliteRowReader(q); }

    bool isLockConflict(const QString& message) const override { return isLockMessage(message); }

private:
    // How often (in the engine's steps, some ten thousand instructions each
    // at most) the engine asks whether the session wants to do something
    // while it works: often enough for a pulse every tenth of a second, too
    // rarely to cost anything measurable.
    static constexpr int kProgressOps = 4000;

    static int onProgress(void* session)
    {
        static_cast<Session*>(session)->engineWorking();
        return 0; // go on
    }

    // Waiting for another connection's lock: the engine's own busy timeout
    // (the same waits, the same limit), with the session's pulse between
    // the waits.
    struct LockWait
    {
        Session* session = nullptr;
        int timeoutMs = 5000;
    };

    static int onBusy(void* wait, int count)
    {
        static constexpr int delays[] = {1, 2, 5, 10, 15, 20, 25, 25, 25, 50, 50, 100};
        static constexpr int totals[] = {0, 1, 3, 8, 18, 33, 53, 78, 103, 128, 178, 228};
        constexpr int n = int(std::size(delays));
        auto* w = static_cast<LockWait*>(wait);
        int delay = delays[std::min(count, n - 1)];
        const int prior = count < n ? totals[count] : totals[n - 1] + delay * (count - (n - 1));
        if (prior + delay > w->timeoutMs) {
            delay = w->timeoutMs - prior;
            if (delay <= 0)
                return 0; // give up: the statement fails with "database is locked"
        }
        sqlite3_sleep(delay);
        if (w->session)
            w->session->engineWorking();
        return 1;
    }

    void openInMemory(const QString& connectionName, int lockTimeoutMs)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
        db.setDatabaseName(QStringLiteral(":memory:"));
        if (!db.open()) {
            const QString msg = engineMessage(db.lastError());
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(connectionName);
            throw DbError(msg);
        }
        try {
            prepareConnection(db, lockTimeoutMs);
        } catch (...) {
            dropConnection(db, connectionName);
            throw;
        }
        sequences_.reset();
    }

    // Lets go of a connection that failed while being opened or prepared.
    void dropConnection(QSqlDatabase& db, const QString& connectionName)
    {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName);
        sequences_.setHandle(nullptr);
    }

    void prepareConnection(QSqlDatabase& db, int lockTimeoutMs)
    {
        sqlite3* h = nullptr;
        const QVariant v = db.driver()->handle();
        if (v.isValid() && qstrcmp(v.typeName(), "sqlite3*") == 0)
            h = *static_cast<sqlite3* const*>(v.constData());
        if (!h)
            throw DbError(QStringLiteral("No SQLite handle on the connection"));
        registerSqliteFunctions(h, &sequences_);
        sequences_.setHandle(h);
        lockWait_ = LockWait{nullptr, lockTimeoutMs};
        sqlite3_busy_timeout(h, lockTimeoutMs);
        QSqlQuery q(db);
        const auto fail = [&q] { throwSqlError(q.lastError()); };
        // A file that is not a database fails here, with the engine's message.
        if (!q.exec(QStringLiteral("PRAGMA schema_version")))
            fail();
        q.finish();
        // The engine's default page cache (2 MB) is far smaller than the
        // indexes a large payout day walks: look-ups read their pages from
        // the file again and again, and sorts of large results spill to
        // temporary files, so a collection slows down more than the day
        // grows. 8 MB is a middle way (more helps a very large day further
        // but costs as much memory); the cache only fills as pages are read.
        for (const char* pragma :
             {"PRAGMA foreign_keys=OFF", "PRAGMA case_sensitive_like=ON", "PRAGMA cache_size=-8192"})
            if (!q.exec(QString::fromLatin1(pragma)))
                fail();
        // WAL is kept in the file: it is switched on once, by a connection
        // that may write (a read-only one cannot, and need not).
        if (sqlite3_db_readonly(h, "main") == 0) {
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

    void endTransaction(Session& session, bool rollback)
    {
        if (sqlite3_get_autocommit(handle(session))) {
            // The engine already rolled the transaction back (after a severe
            // error). The counters may have gone back and another connection
            // may have drawn since, so this session's blocks are dropped.
            sequences_.reset();
            if (rollback)
                return;
            throw DbError(QStringLiteral("cannot commit - no transaction is active"));
        }
        try {
            if (rollback)
                exec(session, "ROLLBACK TO rek2_tx");
            sequences_.writeBack();
            exec(session, "COMMIT");
        } catch (...) {
            execQuietly(session, "ROLLBACK");
            sequences_.reset();
            throw;
        }
    }

    // The engine's connection; null once it is closed.
    static sqlite3* openHandle(Session& session)
    {
        const QVariant v = session.database().driver()->handle();
        return v.isValid() ? *static_cast<sqlite3* const*>(v.constData()) : nullptr;
    }
    static sqlite3* handle(Session& session)
    {
        sqlite3* h = openHandle(session);
        if (!h)
            throw DbError(withExplanation(QLatin1String(kConnectionGone)));
        return h;
    }
    static void exec(Session& session, const char* sql)
    {
        char* err = nullptr;
        if (sqlite3_exec(handle(session), sql, nullptr, nullptr, &err) != SQLITE_OK) {
            const QString m = QString::fromUtf8(err ? err : sqlite3_errmsg(handle(session)));
            sqlite3_free(err);
            throw DbError(withExplanation(m));
        }
    }
    static void execQuietly(Session& session, const char* sql)
    {
        sqlite3_exec(handle(session), sql, nullptr, nullptr, nullptr);
    }

    // This session's blocks of sequence values (SQLite has no sequences).
    SequenceCache sequences_;
    LockWait lockWait_;
};

} // namespace

std::unique_ptr<Dialect> sqlite::makeDialect()
{
    return std::make_unique<SqliteDialect>();
}

} // namespace rek2
