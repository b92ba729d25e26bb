#pragma once
#include "db/sql_tokens.h"

namespace rek2::sql {

// The mechanical rewrites of Oracle text for engines that lack Oracle's
// behaviour. Each works on the token list in place.

// '' (the empty string, which Oracle treats as NULL) -> NULL.
void emptyStringToNull(Tokens& t);
// a || b || c -> <fn>(a, b, c); operands are identifiers (with dots),
// literals, bind variables, function calls, CASE ... END and parenthesised groups.
void concatToFunction(Tokens& t, const QString& fn);
// SEQ.NEXTVAL and NEXTVAL FOR SEQ -> <fn>('SEQ').
void sequencesToFunction(Tokens& t, const QString& fn);
// FROM dual, FROM SYSIBM.SYSDUMMY1 -> nothing.
void dropDummyTables(Tokens& t);
// Current_Date -> <fn>().
void currentDateToFunction(Tokens& t, const QString& fn);
// a / b -> a * 1.0 / b: a division is never an integer division.
void realDivision(Tokens& t);
// Ascending ORDER BY items get NULLS LAST, descending ones NULLS FIRST
// (Oracle sorts NULL above every value).
void oracleNullOrdering(Tokens& t);
// Correlated X [NOT] IN (SELECT c FROM T [a] [WHERE cond]) -> EXISTS form
// that an index on T.c answers. Only where the meaning in a WHERE clause is
// exactly kept; anything else is left alone.
void correlatedInToExists(Tokens& t);
// A bare ROWID in a select list is named ROWID, so the dataset finds it
// whatever name the engine would give it.
void nameRowidColumns(Tokens& t);
// A scalar subquery "(SELECT x FROM ...)" used as a value becomes
// "(SELECT <fn>(x) FROM ...)": <fn> is an aggregate that fails when the
// subquery finds more than one row, as Oracle does, instead of taking the
// first. Only simple subqueries are changed (one plain column, no grouping).
void scalarSubqueriesSingleRow(Tokens& t, const QString& fn);
// :NAME -> ?; appends the stored names (":NAME") in order.
void bindVariablesToPositional(Tokens& t, QStringList& names);

} // namespace rek2::sql
