#include "store/oracle_statement.h"

#include "store/dialect.h"
#include "store/oracle_error.h"
#include "store/oracle_session.h"

namespace rek2 {

void TOracleStatement::SetEngineSQL(const QString& engine, const QStringList& lines)
{
    engineSql_.insert(engine, {SQL.join(QLatin1Char('\n')), lines.join(QLatin1Char('\n'))});
}

TOracleSession& TOracleStatement::session() const
{
    if (!session_)
        throw OracleError(Name + QStringLiteral(": no session"));
    if (!session_->Connected())
        throw OracleError(Name + QStringLiteral(": not logged on"));
    return *session_;
}

TOracleStatement::Prepared TOracleStatement::prepare() const
{
    TOracleSession& s = session();
    const QString text = SQL.join(QLatin1Char('\n'));
    const auto it = engineSql_.constFind(s.engine());
    const Dialect::Translation t = (it != engineSql_.cend() && it->oracleText == text)
                                       ? s.dialect().bindOnly(it->engineText)
                                       : s.dialect().translate(text);
    return {t.sql, t.variableNames};
}

} // namespace rek2
