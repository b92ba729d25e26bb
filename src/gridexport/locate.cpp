#include "gridexport/locate.h"

#include "db/dataset.h"

namespace rek2 {

int findRow(const DataSet& ds, int field, const QString& value, bool exact, int startRow)
{
    if (!ds.Active())
        return -1;
    const int rows = ds.RecordCount();
    for (int r = std::max(0, startRow); r < rows; ++r) {
        const QString text = ds.DisplayText(r, field);
        if (exact ? text == value : text.startsWith(value, Qt::CaseInsensitive))
            return r;
    }
    return -1;
}

QString notFoundMessage(const QString& value, bool exact)
{
    return QStringLiteral("Ne najdem \"") + value + (exact ? QString() : QStringLiteral("...")) +
           QStringLiteral("\"");
}

} // namespace rek2
