#pragma once
#include <QString>

namespace rek2 {

class DataSet;

// The locate dialog's search over one field's display texts, from row
// `startRow` (0-based) to the end. Exact: the display text equals `value`,
// case-sensitively; otherwise it begins with `value`, ignoring case.
// Returns the first matching row, -1 when none.
int findRow(const DataSet& ds, int field, const QString& value, bool exact, int startRow);

// "Ne najdem "value"" ("..." after the value when the search was not exact).
QString notFoundMessage(const QString& value, bool exact);

} // namespace rek2
