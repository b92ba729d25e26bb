#pragma once
#include "import/sheet_table.h"

#include <QString>

namespace rek2::importxls {

// Cells of the first worksheet of an .xlsx package that hold their text in
// the cell itself (t="inlineStr", written by many exporters instead of a
// shared string) are put into the table; the reader we use skips them.
// The worksheet is scanned once for the marker and parsed only when it has
// one. Throws ImportError when the package is broken.
void addInlineStrings(const QString& packagePath, const QString& shownPath, SheetTable& table);

} // namespace rek2::importxls
