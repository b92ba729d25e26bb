#pragma once
#include "db/field.h"
#include "db/row_reader.h"
#include "db/row_store.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class QSqlError;
class QSqlQuery;

namespace rek2 {

class Session;

// The statement texts of the system are written in Oracle's dialect. A Dialect
// turns such a text into what the connected engine runs, opens and prepares
// the connection, runs its transactions and says how rows are found again.
// One class per engine (db/sqlite, db/postgres); nothing else knows engines
// apart. Each session owns its own dialect object.
//
// Bind variables: translate() replaces every ":NAME" of the text by a
// positional "?" and reports the stored names (":NAME", upper-case) in order,
// so the caller binds them by position.
//
// Hand-written equivalents: where an Oracle text cannot be rewritten
// mechanically (an alias used twice, "UPDATE T R SET R.col = ..."), the
// statement object carries a hand-written text for the engine beside the
// Oracle text (Statement::SetEngineSQL). That text is sent instead of
// the rewrite, as written, with its ":NAME" variables bound the same way. A
// test must show that both texts give the same rows on a fixture.
class Dialect
{
public:
    struct Translation
    {
        QString sql;               // engine text, variables as "?"
        QStringList variableNames; // stored names in the order of the "?"
    };

    // What the session logs on with.
    struct Logon
    {
        QString database;
        QString user;
        QString password;
        int lockTimeoutMs = 5000;
    };

    virtual ~Dialect() = default;

    // The engine name used to pick a hand-written equivalent: "QSQLITE", "QPSQL".
    virtual QString engine() const = 0;

    // Oracle text in, engine text out. Throws DbError on a text it cannot
    // take apart (an unterminated literal).
    virtual Translation translate(const QString& oracleSql) const = 0;

    // Only turns ":NAME" into "?" (for hand-written engine texts).
    virtual Translation bindOnly(const QString& engineSql) const;

    // Adds and opens the Qt connection `connectionName` and prepares it
    // (functions, time zone, lock timeout). On failure the connection is
    // removed again and DbError carries the engine's message (never the
    // password).
    virtual void open(const QString& connectionName, const Logon& logon, Session& session) = 0;
    // Called before the connection is closed.
    virtual void closing() {}
    // How long a statement waits for a lock another connection holds.
    virtual void setLockTimeout(Session& session, int milliseconds) = 0;
    // Whether the engine calls Session::engineWorking while it works on a
    // statement or waits for a lock; true when it does (it is on and the
    // engine can), false where it cannot call back in the middle of its work.
    virtual bool watchStatements(Session& /*session*/, bool /*on*/) { return false; }

    // Transactions of `session` on this engine (see Session).
    virtual void beginTransaction(Session& session) = 0;
    virtual void commitTransaction(Session& session) = 0;
    virtual void rollbackTransaction(Session& session) = 0;
    // A statement failed outside a transaction (the engine rolled it back).
    virtual void statementFailed(Session& /*session*/) {}
    // True when `message` says another connection holds the lock.
    virtual bool isLockConflict(const QString& message) const = 0;

    // Reads every row of the select `q` has just executed into `store`
    // (result column source[f] into store column f, -1 left NULL), each value
    // as coerceToFieldType makes it. False when this engine has no faster
    // way than reading through `q` one value at a time; the caller does that.
    // With `order`, the rows are then sorted by those result columns as the
    // engine's ORDER BY would sort them (equal rows in the order read). The
    // `lookups` columns are filled by their statements.
    virtual bool fetchAll(QSqlQuery& /*q*/, const std::vector<int>& /*source*/,
                          const std::vector<SortColumn>& /*order*/,
                          const std::vector<LookedUpColumn>& /*lookups*/, RowStore& /*store*/) const
    {
        return false;
    }

    // Holds, until the open transaction ends, a lock that only one session
    // at a time can hold for `work` (two workstations collecting at once
    // run one after the other). Nothing where the engine's write
    // transaction already excludes every other writer.
    virtual void serialize(Session& /*session*/, const QString& /*work*/) {}
    // The same across transactions: held from holdWork(..., true) until
    // holdWork(..., false) (see WorkLock). Nothing on SQLite, where one
    // workstation works alone.
    virtual void holdWork(Session& /*session*/, const QString& /*work*/, bool /*hold*/) {}

    // After a statement that changed much of `table` (our own table name,
    // never typed text): lets the planner see the table as it now is before
    // the next statements of the transaction are planned. PostgreSQL would
    // plan them with statistics from before (a table it believes empty is
    // joined row by row); SQLite keeps no statistics.
    virtual void tableChanged(Session& /*session*/, const QString& /*table*/) {}

    // Result columns: the name as Oracle reports it, and the field types of
    // a result where the engine declares them (Variant where it does not).
    virtual QString columnName(const QString& engineName) const { return engineName; }
    virtual std::vector<FieldType> resultTypes(const QSqlQuery& q, int count) const;

    // Writing rows back. The catalogue name of a table named in a statement;
    // a quoted identifier for generated statements; the columns that find a
    // row of `table` again (empty: the engine's own ROWID); the clause that
    // locks the rows a select reads without waiting (empty where the write
    // transaction already holds the lock).
    virtual QString catalogName(const QString& table) const { return table; }
    virtual QString quoteIdentifier(const QString& name) const;
    virtual QStringList rowKey(const QString& /*table*/) const { return {}; }
    // False where rows have no ROWID: a table without a key then finds its
    // row by all the values it holds.
    virtual bool hasRowId() const { return true; }
    virtual QString lockRowsClause() const { return {}; }

    // A reader of the select `q` has just executed that steps the engine's
    // own statement, one row at a time. Null when this engine has no faster
    // way than `q` itself; the caller reads through `q` then.
    virtual std::unique_ptr<RowReader> rowReader(QSqlQuery& /*q*/) const { return nullptr; }
};

// The dialect of a database name: a PostgreSQL connection URI or libpq
// key=value string gives PostgreSQL, anything else is an SQLite file.
std::unique_ptr<Dialect> makeDialect(const QString& databaseName);

// The database name with any password left out (for messages and logs).
QString displayDatabaseName(const QString& databaseName);

} // namespace rek2
