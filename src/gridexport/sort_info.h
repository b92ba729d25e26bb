#pragma once
#include <QString>
#include <QVector>
#include <functional>

namespace rek2 {

// One column of a grid's sort choice.
struct TColumnInfo
{
    QString TableName;
    QString ColumnName;
    bool IsDescending = false;
    // May rewrite the forms below.
    std::function<void(const TColumnInfo&, QString&)> OnGetAsIndexFieldNames;
    std::function<void(const TColumnInfo&, QString&)> OnGetAsOrderBy;

    // "COL"
    QString AsIndexFieldNames() const;
    // "TABLE.COL" (or "COL" without a table), with " DESC" when descending.
    QString AsOrderBy() const;
};

// One line of the sort chooser.
struct TSortInfoItem
{
    QString DisplayText;
    QVector<TColumnInfo> ColumnInfoList;

    // The columns' index-field forms joined by ";".
    QString AsIndexFieldNames() const;
    // The columns' order-by forms joined by ", ".
    QString AsOrderBy() const;
};

} // namespace rek2
