#pragma once
#include <QSqlQuery>
#include <vector>

namespace rek2 {

class RowStore;

// Reads the rows of a select that Qt's SQLite driver has just executed
// straight from the engine's statement into the store, without a QVariant
// per value. Values end up exactly as the generic path stores them
// (coerceToFieldType). Returns false when `q` is not an SQLite statement.
bool sqliteFetchAll(QSqlQuery& q, const std::vector<int>& source, RowStore& store);

} // namespace rek2
