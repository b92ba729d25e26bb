#pragma once
#include <QString>
#include <QStringList>

class QSqlDatabase;

namespace rek2 {

class Dialect;

// Creates the system's own tables, the registry tables it reads and the
// indexes its statements need, on an SQLite or PostgreSQL connection, in one
// transaction.
// Throws std::runtime_error carrying the engine's message unchanged; on
// error nothing of the schema is left behind.
void createSchema(QSqlDatabase& db);

// The REK2_SIF rows of a new installation: database type "ORACLE", first
// reporting day 01.07.2008 and the "STATUS" text of every document kind;
// with `withPayer` also the payer's name, address and tax number, the
// responsible person and telephone and the payment sub-account of the demo
// registry. Throws std::runtime_error with the engine's message.
void insertSifBasics(QSqlDatabase& db, bool withPayer = true);

// The statements createSchema runs, in order (one statement per entry).
QStringList schemaStatementsSqlite();

// Empty when every working, history and link table the connection holds has
// the columns, in the order, that this program's schema gives it (their
// order matters: the history is filled by SELECT *, links are inserted
// without a column list); else the operator's message naming the first
// difference. A table the database does not hold is not judged here.
QString schemaVersionProblem(const QSqlDatabase& db, const Dialect& dialect);

} // namespace rek2
