#pragma once
#include "db/variables.h"

#include <QHash>
#include <QStringList>
#include <vector>

namespace rek2 {

class Session;

// A column of the order in which a dataset sorts the rows it read (see
// DataSet::SetEngineSQL): a result column's name, ascending, empty values
// first or last.
struct OrderKey
{
    QString column;
    bool nullsLast = false;
};

// A result column whose value a dataset looks up itself as it reads each
// row (see DataSet::SetEngineSQL): `sql` gives it from the row's values of
// the result columns `keys`, bound as ?1, ?2... exactly as the engine holds
// them; it runs once for each different set of them.
struct LookupColumn
{
    QString column;
    QStringList keys;
    QString sql;
};

// What a query and a dataset share: the session, the statement text as lines
// (sent joined with "\n"), the declared variables and optional hand-written
// engine texts.
class Statement
{
public:
    explicit Statement(QString name = QString()) : Name(std::move(name)) {}
    virtual ~Statement() = default;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    QString Name;    // object name, for messages and the debug log
    QStringList SQL; // Oracle text, one line per entry

    Session* GetSession() const { return session_; }
    virtual void SetSession(Session* session) { session_ = session; }

    void DeclareVariable(const QString& name, VarType type) { vars_.declare(name, type); }
    // Throws DbError "Variable :NAME not declared".
    void SetVariable(const QString& name, const QVariant& value) { vars_.set(name, value); }
    QVariant GetVariable(const QString& name) const { return vars_.value(name); }
    void DeleteVariables() { vars_.clear(); }
    void DeclareAndSet(const QString& name, VarType type, const QVariant& value)
    {
        vars_.declareAndSet(name, type, value);
    }
    Variables& variables() { return vars_; }
    const Variables& variables() const { return vars_; }

    // A hand-written text for `engine` ("QSQLITE", "QPSQL") standing for the
    // current Oracle text. It is used only while SQL is the text it was given
    // with: change SQL and the rewrite of the new text is used again.
    void SetEngineSQL(const QString& engine, const QStringList& lines);
    // The same, for a text still in Oracle's dialect (rewritten like SQL).
    void SetEngineOracleSQL(const QString& engine, const QStringList& lines);
    void ClearEngineSQL() { engineSql_.clear(); }

    // The text that runs on the session's engine, variables as "?", and the
    // variable names in order. Throws DbError (no session, bad text).
    struct Prepared
    {
        QString sql;
        QStringList variableNames;
    };
    Prepared prepare() const;

protected:
    Session& session() const; // throws when none or not connected

    // The same as SetEngineSQL, for a text whose rows the reader sorts by
    // `order` (datasets only).
    void setEngineSQLOrdered(const QString& engine, const QStringList& lines, std::vector<OrderKey> order,
                             std::vector<LookupColumn> lookups = {});
    // The order the text that runs on the session's engine leaves to the
    // reader; empty when the text orders its rows itself.
    std::vector<OrderKey> readerOrder() const;
    // The columns that text leaves to the reader to look up.
    std::vector<LookupColumn> readerLookups() const;

private:
    struct EngineText
    {
        QString oracleText; // SQL joined when the engine text was given
        QString engineText;
        bool rewrite = false; // engineText is in Oracle's dialect too
        std::vector<OrderKey> order;
        std::vector<LookupColumn> lookups;
    };
    const EngineText* engineTextInEffect(Session& s) const;
    Session* session_ = nullptr;
    Variables vars_;
    QHash<QString, EngineText> engineSql_;
};

} // namespace rek2
