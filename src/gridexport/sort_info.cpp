#include "gridexport/sort_info.h"

#include <QStringList>

namespace rek2 {

QString TColumnInfo::AsIndexFieldNames() const
{
    QString s = ColumnName;
    if (OnGetAsIndexFieldNames)
        OnGetAsIndexFieldNames(*this, s);
    return s;
}

QString TColumnInfo::AsOrderBy() const
{
    QString s = TableName.isEmpty() ? ColumnName : TableName + QLatin1Char('.') + ColumnName;
    if (IsDescending)
        s += QStringLiteral(" DESC");
    if (OnGetAsOrderBy)
        OnGetAsOrderBy(*this, s);
    return s;
}

QString TSortInfoItem::AsIndexFieldNames() const
{
    QStringList parts;
    for (const TColumnInfo& c : ColumnInfoList)
        parts << c.AsIndexFieldNames();
    return parts.join(QLatin1Char(';'));
}

QString TSortInfoItem::AsOrderBy() const
{
    QStringList parts;
    for (const TColumnInfo& c : ColumnInfoList)
        parts << c.AsOrderBy();
    return parts.join(QStringLiteral(", "));
}

} // namespace rek2
