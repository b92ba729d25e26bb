#pragma once
#include "db/field.h"

#include <QString>
#include <QVector>

namespace rek2 {

class DataSet;

// One visible column of a grid's dataset as the grid services see it: the
// field, its caption, its display width in characters and its alignment.
// Printing, the print window, export and the clipboard all work from this.
struct GridColumn
{
    int field = -1; // index in the dataset
    FieldDef def;   // name, type, size, caption, format
    int width = 10; // display width in characters
    bool rightAligned = false;

    QString label() const { return def.displayLabel.isEmpty() ? def.name : def.displayLabel; }
};

// Display width of a field in characters: the one its owner chose, else one
// that fits the usual values of its type (a text as wide as its size, up to 40).
int displayWidthOf(const FieldDef& def);

// The dataset's visible fields in their order.
QVector<GridColumn> visibleColumns(const DataSet& ds);

} // namespace rek2
