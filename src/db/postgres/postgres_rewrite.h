#pragma once
#include "db/sql_tokens.h"

namespace rek2::sql {

// Rewrites of Oracle text that only PostgreSQL needs (see postgres_dialect.cpp).

// NVL(a, b) -> COALESCE(a, b).
void nvlToCoalesce(Tokens& t);
// <fn>(a, b, ...) as made by concatToFunction -> NULLIF(CONCAT(a, b, ...), ''):
// CONCAT takes a NULL operand as empty, NULLIF makes an all-empty result NULL.
void concatCallsToNullIf(Tokens& t, const QString& fn);
// X.ROWID in a select list -> CAST(X.ctid AS text) AS ROWID. PostgreSQL has no
// ROWID; the value only marks the row as one that can be written back, which
// the writer then finds by the table's key columns.
void rowidToRowMark(Tokens& t);

// <fn>(a, b) -> ((a) <op> (b)): the shared rewrite makes + and - of dates
// function calls; PostgreSQL reckons dates in days itself.
void callsToOperator(Tokens& t, const QString& fn, const QString& op);
// FROM (SELECT ...) without a name -> FROM (SELECT ...) rek2_from_N:
// PostgreSQL wants every subquery in FROM named, Oracle does not.
void nameFromSubqueries(Tokens& t);

} // namespace rek2::sql
