#include "db/statement_runner.h"

#include "db/session.h"
#include "db/sql_error.h"

#include <optional>

namespace rek2 {

QSqlQuery runStatement(const Statement& st, Session& session, bool forwardOnly)
{
    session.refuseDuringPulse();
    const Statement::Prepared p = st.prepare();
    QSqlQuery q(session.database());
    q.setForwardOnly(forwardOnly);
    auto fail = [&](const QSqlError& e) {
        if (!session.InTransaction())
            session.dialect().statementFailed(session);
        throwSqlError(e);
    };
    // The engine's work (all of it for a statement that writes, up to the
    // first row for one that reads) keeps the window painted; a dataset
    // marks the reading of the further rows itself.
    std::optional<QSqlError> error;
    session.runEngineWork([&] {
        // A statement without variables is sent as it is: PostgreSQL cannot
        // prepare every statement (a CREATE TABLE, for one).
        if (p.variableNames.isEmpty()) {
            if (!q.exec(p.sql))
                error = q.lastError();
            return;
        }
        if (!q.prepare(p.sql)) {
            error = q.lastError();
            return;
        }
        for (const QString& name : p.variableNames) {
            const Variables::Variable* v = st.variables().find(name);
            if (!v)
                throw DbError(QStringLiteral("Variable ") + name + QStringLiteral(" not declared"));
            q.addBindValue(Variables::bindValue(*v));
        }
        if (!q.exec())
            error = q.lastError();
    });
    if (error)
        fail(*error);
    return q;
}

} // namespace rek2
