#include "db/statement_runner.h"

#include "db/session.h"
#include "db/sql_error.h"

namespace rek2 {

QSqlQuery runStatement(const Statement& st, Session& session, bool forwardOnly)
{
    const Statement::Prepared p = st.prepare();
    QSqlQuery q(session.database());
    q.setForwardOnly(forwardOnly);
    auto fail = [&](const QSqlError& e) {
        if (!session.InTransaction())
            session.dialect().statementFailed(session);
        throwSqlError(e);
    };
    if (!q.prepare(p.sql))
        fail(q.lastError());
    for (const QString& name : p.variableNames) {
        const Variables::Variable* v = st.variables().find(name);
        if (!v)
            throw DbError(QStringLiteral("Variable ") + name + QStringLiteral(" not declared"));
        q.addBindValue(Variables::bindValue(*v));
    }
    if (!q.exec())
        fail(q.lastError());
    return q;
}

} // namespace rek2
