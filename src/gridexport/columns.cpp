#include "gridexport/columns.h"

#include "db/dataset.h"

#include <algorithm>

namespace rek2 {

int displayWidthOf(const FieldDef& def)
{
    if (def.displayWidth > 0)
        return def.displayWidth;
    switch (def.type) {
    case FieldType::String:
        return def.size > 0 ? std::clamp(def.size, 1, 40) : 20;
    case FieldType::Integer:
        return 10;
    case FieldType::Float:
        return 14;
    case FieldType::Date:
        return 10;
    case FieldType::Variant:
        return 12;
    }
    return 10;
}

QVector<GridColumn> visibleColumns(const DataSet& ds)
{
    QVector<GridColumn> out;
    for (int i = 0; i < ds.FieldCount(); ++i) {
        const TField* f = ds.Fields(i);
        if (!f->Visible())
            continue;
        GridColumn c;
        c.field = i;
        c.def = f->def();
        c.width = displayWidthOf(f->def());
        c.rightAligned = f->DataType() == FieldType::Integer || f->DataType() == FieldType::Float;
        out.push_back(c);
    }
    return out;
}

} // namespace rek2
