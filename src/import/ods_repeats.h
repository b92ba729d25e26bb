#pragma once
#include "import/sheet_table.h"

#include <QString>

namespace rek2::importxls {

// An .ods file writes equal consecutive rows once, with a repeat count
// (table:number-rows-repeated); the reader we use gives only the first of
// them. The rows of the first table are counted here and the repeated ones
// copied into the table.
void repeatOdsRows(const QString& path, SheetTable& table);

} // namespace rek2::importxls
