#pragma once
#include "gridexport/columns.h"

#include <QString>
#include <QVector>
#include <memory>

namespace rek2 {

class DataSet;
class LocalDatabase;
class Progress;

enum class SumOperator { Sum, Avg, Min, Max };
QString operatorName(SumOperator op);     // "SUM", "AVG", "MIN", "MAX"
SumOperator nextOperator(SumOperator op); // SUM -> AVG -> MIN -> MAX -> SUM

// The print window's working data: a local table with the column "N" (1 on
// every row, so its sum counts rows) and one column per visible field of the
// source, the group and sum field lists, and the two results "Sortiranje"
// and "Grupiranje". The local table lives in a database of its own in memory,
// never in the registry database.
class PrintTable
{
public:
    struct Column
    {
        QString name;    // column of the local table ("N", "C1", "C2", ...)
        FieldDef def;    // type, size, caption, format of the source field
        int sourceField; // -1 for "N"
    };
    struct GroupField
    {
        int column; // index into columns()
        bool marked = true;
    };
    struct SumField
    {
        int column;
        SumOperator op = SumOperator::Sum;
    };

    // Builds the empty local table for the given columns of `source`. Throws DbError.
    PrintTable(const DataSet& source, const QVector<GridColumn>& columns);
    ~PrintTable();
    PrintTable(const PrintTable&) = delete;
    PrintTable& operator=(const PrintTable&) = delete;

    const QVector<Column>& columns() const { return columns_; }
    const QString& tableName() const { return table_; }

    // The default lists: leading text, integer and date columns are grouped
    // (marked), the number columns after them summed (AVG for rates and
    // prices, else SUM), dates after them MAX, and "N" summed last.
    void setDefaultLists();
    // A click on the title of local column `column`: it and every column
    // left of it become marked group fields, the rest sum fields with their
    // default operators (or left out), "N" summed last.
    void setGroupsUpTo(int column);
    QVector<GroupField> groups;
    QVector<SumField> sums;
    QString totalLabel = QString(33, QChar(0x00D7));

    // Copies every row of the source into the local table, once; later calls
    // do nothing. Steps `progress` per row ("Copy to local table").
    void copyRows(Progress* progress = nullptr);
    bool rowsCopied() const { return copied_; }

    // The local table as a dataset (for the settings page's grid).
    void openLocal(DataSet& ds) const;
    // "Sortiranje": all rows, group then sum columns, ordered by the group
    // columns, and one total row at the end.
    void openSorted(DataSet& ds) const;
    // "Grupiranje": the grand total and one level per marked group field,
    // each subtotal after the rows of its group. Group columns of a total
    // row show the total label.
    void openGrouped(DataSet& ds) const;

    // The database the results live in (their datasets need its session).
    LocalDatabase& database() const { return *db_; }

private:
    SumOperator defaultOperator(const Column& c) const;
    void openResult(DataSet& ds, const QStringList& sql, int groupCount) const;
    QString aggregate(const SumField& s) const;

    const DataSet& source_;
    std::unique_ptr<LocalDatabase> db_;
    QString table_;
    QVector<Column> columns_;
    bool copied_ = false;
};

} // namespace rek2
