#include "db/statement.h"

#include "db/dialect.h"
#include "db/error.h"
#include "db/session.h"

namespace rek2 {

void Statement::SetEngineSQL(const QString& engine, const QStringList& lines)
{
    engineSql_.insert(engine, {SQL.join(QLatin1Char('\n')), lines.join(QLatin1Char('\n'))});
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
    const Dialect::Translation t = (it != engineSql_.cend() && it->oracleText == text)
                                       ? s.dialect().bindOnly(it->engineText)
                                       : s.dialect().translate(text);
    return {t.sql, t.variableNames};
}

} // namespace rek2
