#pragma once
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class QSqlQuery;

namespace rek2 {

class RowStore;
class Session;

// The statement texts of the system are written in Oracle's dialect. A Dialect
// turns such a text into what the connected engine runs, and prepares each new
// connection (functions, pragmas). It is the only place that knows engines apart.
//
// Bind variables: translate() replaces every ":NAME" of the text by a
// positional "?" and reports the stored names (":NAME", upper-case) in order,
// so the caller binds them by position.
//
// Hand-written equivalents: where an Oracle text cannot be rewritten
// mechanically (an alias used twice, "UPDATE T R SET R.col = ..."), the
// statement object carries a hand-written text for the engine beside the
// Oracle text (Statement::SetEngineSQL). That text is sent instead of
// the rewrite, as written, with its ":NAME" variables bound the same way; it
// may call the functions the dialect registers (rek2_concat, rek2_nextval,
// rek2_current_date, NVL, TRUNC, ROUND, upper). A test must show that both
// texts give the same rows on a fixture.
class Dialect
{
public:
    struct Translation
    {
        QString sql;               // engine text, variables as "?"
        QStringList variableNames; // stored names in the order of the "?"
    };

    virtual ~Dialect() = default;

    // The engine name used to pick a hand-written equivalent: "QSQLITE", later "QPSQL".
    virtual QString engine() const = 0;

    // Oracle text in, engine text out. Throws DbError on a text it cannot
    // take apart (an unterminated literal).
    virtual Translation translate(const QString& oracleSql) const = 0;

    // Only turns ":NAME" into "?" (for hand-written engine texts).
    virtual Translation bindOnly(const QString& engineSql) const;

    // Called once right after a connection opened.
    virtual void prepareConnection(QSqlDatabase& db, Session& session) = 0;

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
    virtual bool fetchAll(QSqlQuery& /*q*/, const std::vector<int>& /*source*/, RowStore& /*store*/) const
    {
        return false;
    }
};

// SQLite: see sqlite_dialect.cpp for the rewrites.
std::unique_ptr<Dialect> makeSqliteDialect();

} // namespace rek2
