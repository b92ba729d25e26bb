#pragma once
#include "db/sql_tokens.h"

namespace rek2::sql {

// The mechanical rewrites of Oracle text for engines that lack Oracle's
// behaviour. Each works on the token list in place.

// '' (the empty string, which Oracle treats as NULL) -> NULL.
void emptyStringToNull(Tokens& t);
// ||, + and - share one precedence, below * and /, and group from the left,
// as on Oracle: a || b || c -> <concatFn>(a, b, c), N * 100 || '%' ->
// <concatFn>(N * 100, '%'). A + or - of which one side may be a date (a
// column, a bind variable, a function that may give a date) becomes
// <plusFn>(a, b) / <minusFn>(a, b), which reckon dates in days; two sides
// that are numbers whatever the data (literals, products, sums) keep the
// engine's own operator.
void additiveToFunctions(Tokens& t, const QString& concatFn, const QString& plusFn, const QString& minusFn);
// SEQ.NEXTVAL and NEXTVAL FOR SEQ -> <fn>('SEQ').
void sequencesToFunction(Tokens& t, const QString& fn);
// FROM dual [alias], FROM SYSIBM.SYSDUMMY1 [alias] -> nothing.
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
// exactly kept (never under NOT, where an unknown result and false differ);
// anything else is left alone.
void correlatedInToExists(Tokens& t);
// A bare ROWID in a select list is named ROWID, so the dataset finds it
// whatever name the engine would give it.
void nameRowidColumns(Tokens& t);
// A scalar subquery "(SELECT x FROM ...)" used as a value becomes
// "(SELECT <fn>(x) FROM ...)": <fn> is an aggregate that fails when the
// subquery finds more than one row, as Oracle does, instead of taking the
// first. Only simple subqueries are changed (one plain column, no grouping).
// An item made of outer columns only is taken through a derived table, so
// the aggregate stays the subquery's own.
void scalarSubqueriesSingleRow(Tokens& t, const QString& fn);
// :NAME -> ?; appends the stored names (":NAME") in order.
void bindVariablesToPositional(Tokens& t, QStringList& names);

} // namespace rek2::sql
