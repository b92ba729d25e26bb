#include "db/statement.h"

#include "db/dialect.h"
#include "db/error.h"
#include "db/session.h"

namespace rek2 {

void Statement::SetEngineSQL(const QString& engine, const QStringList& lines)
{
    engineSql_.insert(engine, {SQL.join(QLatin1Char('\n')), lines.join(QLatin1Char('\n')), false, {}, {}});
}

void Statement::SetEngineOracleSQL(const QString& engine, const QStringList& lines)
{
    engineSql_.insert(engine, {SQL.join(QLatin1Char('\n')), lines.join(QLatin1Char('\n')), true, {}, {}});
}

void Statement::setEngineSQLOrdered(const QString& engine, const QStringList& lines,
                                    std::vector<OrderKey> order, std::vector<LookupColumn> lookups)
{
    engineSql_.insert(engine, {SQL.join(QLatin1Char('\n')), lines.join(QLatin1Char('\n')), false,
                               std::move(order), std::move(lookups)});
}

const Statement::EngineText* Statement::engineTextInEffect(Session& s) const
{
    const auto it = engineSql_.constFind(s.engine());
    return it != engineSql_.cend() && it->oracleText == SQL.join(QLatin1Char('\n')) ? &*it : nullptr;
}

std::vector<OrderKey> Statement::readerOrder() const
{
    const EngineText* own = engineTextInEffect(session());
    return own ? own->order : std::vector<OrderKey>();
}

std::vector<LookupColumn> Statement::readerLookups() const
{
    const EngineText* own = engineTextInEffect(session());
    return own ? own->lookups : std::vector<LookupColumn>();
}

Session& Statement::session() const
{
    if (!session_)
        throw DbError(Name + QStringLiteral(": no session"));
    if (!session_->Connected())
        throw DbError(Name + QStringLiteral(": not logged on"));
    return *session_;
}

Statement::Prepared Statement::prepare() const
{
    Session& s = session();
    const EngineText* own = engineTextInEffect(s);
    const Dialect::Translation t = !own           ? s.dialect().translate(SQL.join(QLatin1Char('\n')))
                                   : own->rewrite ? s.dialect().translate(own->engineText)
                                                  : s.dialect().bindOnly(own->engineText);
    return {t.sql, t.variableNames};
}

} // namespace rek2
