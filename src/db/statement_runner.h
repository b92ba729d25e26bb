#pragma once
#include "db/statement.h"

#include <QSqlQuery>

namespace rek2 {

// Prepares, binds and executes a statement object's text on its session.
// On failure outside a transaction the dialect is told (the engine undid the
// statement); the engine's message is thrown unchanged.
QSqlQuery runStatement(const Statement& st, Session& session, bool forwardOnly = true);

} // namespace rek2
