#pragma once
#include "edit/row_checks.h"

namespace rek2 {

class DataSet;

// The checked columns of the dataset's current record (or edit buffer). A
// column the dataset lacks reads as null.
AnalyticRow analyticRowOf(const DataSet& ds);

} // namespace rek2
