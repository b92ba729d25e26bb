#include "db/statement.h"

#include "db/dialect.h"
#include "db/error.h"
#include "db/session.h"

namespace rek2 {

void Statement::SetEngineSQL(const QString& engine, const QStringList& lines)
{
    engineSql_.insert(engine, {SQL.join(QLatin1Char('\n')), lines.join(QLatin1Char('\n'))});
}

void Statement::SetEngineOracleSQL(const QString& engine, const QStringList& lines)
{
    engineSql_.insert(engine, {SQL.join(QLatin1Char('\n')), lines.join(QLatin1Char('\n')), true});
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
    const QString text = SQL.join(QLatin1Char('\n'));
    const auto it = engineSql_.constFind(s.engine());
    const bool own = it != engineSql_.cend() && it->oracleText == text;
    const Dialect::Translation t = !own          ? s.dialect().translate(text)
                                   : it->rewrite ? s.dialect().translate(it->engineText)
                                                 : s.dialect().bindOnly(it->engineText);
    return {t.sql, t.variableNames};
}

} // namespace rek2
