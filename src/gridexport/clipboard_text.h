#pragma once
#include "gridexport/columns.h"

#include <QString>

namespace rek2 {

class DataSet;
class Progress;

// The text "copy to clipboard" puts on the clipboard: the caption line, the
// column captions each followed by a TAB, then one line per row with each
// value followed by a TAB; lines joined by CR LF. Text values are quoted
// (inner quotes doubled, carriage returns dropped) so a spreadsheet keeps
// them whole; TABs are dropped from every value. Reads the rows without
// moving the dataset. Steps `progress` once per row.
QString clipboardText(const DataSet& ds, const QVector<GridColumn>& columns, const QString& caption,
                      Progress* progress = nullptr);

} // namespace rek2
