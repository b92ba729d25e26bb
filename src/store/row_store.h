#pragma once
#include "store/field.h"

#include <QHash>
#include <QString>
#include <QVariant>
#include <limits>
#include <vector>

namespace rek2 {

// The rows of a dataset, kept column by column in typed arrays, so 100,000
// rows of a few dozen columns cost little more than their values: numbers
// as doubles (NaN = NULL), dates as day numbers, short repeated texts
// (codes, marks) shared. Every row carries a serial that never repeats
// (bookmarks).
class RowStore
{
public:
    void reset(const std::vector<FieldType>& types);
    int rowCount() const { return int(serials_.size()); }
    int columnCount() const { return int(cols_.size()); }

    // A new row of NULLs at `row` (rowCount() appends); returns its index.
    int insertRow(int row);
    void removeRow(int row);
    void reserve(int rows);

    QVariant value(int row, int col) const;
    // `v` must already have the column's type (see coerceToFieldType).
    void setValue(int row, int col, const QVariant& v);
    quint64 serial(int row) const { return serials_[size_t(row)]; }
    int rowOfSerial(quint64 serial) const; // -1 when gone

private:
    struct Column
    {
        FieldType type = FieldType::Variant;
        std::vector<double> nums;       // Integer, Float
        std::vector<qint32> days;       // Date (julian day; kNoDay = NULL)
        std::vector<QString> texts;     // String (null QString = NULL)
        std::vector<QVariant> other;    // Variant
        QHash<QString, QString> shared; // short texts seen in this column
    };
    static constexpr qint32 kNoDay = std::numeric_limits<qint32>::min();
    QString share(Column& c, const QString& s);

    std::vector<Column> cols_;
    std::vector<quint64> serials_;
    quint64 nextSerial_ = 1;
};

} // namespace rek2
