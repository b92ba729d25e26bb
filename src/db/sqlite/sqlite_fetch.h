#pragma once
#include "db/row_reader.h"

#include <QSqlQuery>
#include <memory>
#include <vector>

namespace rek2 {

class RowStore;
struct SortColumn;

// Reads the rows of a select that Qt's SQLite driver has just executed
// straight from the engine's statement into the store, without a QVariant
// per value. Values end up exactly as the generic path stores them
// (coerceToFieldType). With `order`, the rows are then sorted by those
// result columns exactly as SQLite's ORDER BY sorts them with the BINARY
// collation, equal rows in the order read. Returns false when `q` is not an
// SQLite statement.
bool sqliteFetchAll(QSqlQuery& q, const std::vector<int>& source, const std::vector<SortColumn>& order,
                    RowStore& store);

// A reader that steps the engine's statement behind `q` (just executed)
// itself; null when `q` is not an SQLite statement.
std::unique_ptr<RowReader> sqliteRowReader(QSqlQuery& q);

} // namespace rek2
