#pragma once
#include "db/row_reader.h"

#include <QSqlQuery>
#include <memory>
#include <vector>

namespace rek2 {

class RowStore;
struct SortColumn;
struct LookedUpColumn;

// Reads the rows of a select that Qt's SQLite driver has just executed
// straight from the engine's statement into the store, without a QVariant
// per value. Values end up exactly as the generic path stores them
// (coerceToFieldType). With `order`, the rows are then sorted by those
// result columns exactly as SQLite's ORDER BY sorts them with the BINARY
// collation, equal rows in the order read. Returns false when `q` is not an
// SQLite statement.
// Each `lookups` column is filled by its statement, run on the same
// connection with the row's key values bound as they are; a failing one
// fails the read.
bool sqliteFetchAll(QSqlQuery& q, const std::vector<int>& source, const std::vector<SortColumn>& order,
                    const std::vector<LookedUpColumn>& lookups, RowStore& store);

// A reader that steps the engine's statement behind `q` (just executed)
// itself; null when `q` is not an SQLite statement.
std::unique_ptr<RowReader> sqliteRowReader(QSqlQuery& q);

} // namespace rek2
