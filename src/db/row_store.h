#pragma once
#include "db/field.h"

#include <QHash>
#include <QString>
#include <QVariant>
#include <limits>
#include <string>
#include <vector>

namespace rek2 {

// A result column that the rows read are sorted by, ascending.
struct SortColumn
{
    int column = 0;
    bool nullsLast = false;
};

// A result column that the reader looks up itself with `sql` from the
// row's values of the result columns `keys` (see LookupColumn).
struct LookedUpColumn
{
    int column = 0;
    std::vector<int> keys;
    QString sql;
};

// The rows of a dataset, kept column by column in typed arrays, so 100,000
// rows of a few dozen columns cost little more than their values: numbers
// as doubles (NaN = NULL), dates as day numbers, texts as UTF-8 in one
// buffer per column, short repeated texts (codes, marks) stored once. Every row carries a serial that never
// repeats (bookmarks).
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
    // Gives back the spare room of the arrays once a fetch is complete.
    void squeeze();

    QVariant value(int row, int col) const;
    // The same values without a QVariant, for readers of many rows: a
    // number column's value (NaN = NULL), a date column's day (invalid =
    // NULL), a text column's text (null = NULL). Each must match the
    // column's type.
    double number(int row, int col) const { return cols_[size_t(col)].nums[size_t(row)]; }
    QDate day(int row, int col) const;
    QString text(int row, int col) const;
    // `v` must already have the column's type (see coerceToFieldType).
    void setValue(int row, int col, const QVariant& v);

    // Typed writes for a fetch that reads the engine's values itself; each
    // must match the column's type. A new row from appendRow() is all NULL.
    FieldType columnType(int col) const { return cols_[size_t(col)].type; }
    int appendRow();
    void setNumber(int row, int col, double v) { cols_[size_t(col)].nums[size_t(row)] = v; }
    void setDay(int row, int col, qint32 julianDay) { cols_[size_t(col)].days[size_t(row)] = julianDay; }
    // UTF-8 text, not empty (the empty text is NULL: leave the row's NULL).
    void setUtf8(int row, int col, const char* data, qsizetype size);
    // Puts the rows in the order given: new row r is the old row order[r]
    // (every row exactly once).
    void permute(const std::vector<int>& order);
    quint64 serial(int row) const { return serials_[size_t(row)]; }
    int rowOfSerial(quint64 serial) const; // -1 when gone

private:
    struct TextRef
    {
        quint32 offset = 0;
        quint32 length = kNullText;
    };
    static constexpr quint32 kNullText = 0xFFFFFFFFu;
    struct Column
    {
        FieldType type = FieldType::Variant;
        std::vector<double> nums;           // Integer, Float
        std::vector<qint32> days;           // Date (julian day; kNoDay = NULL)
        std::vector<TextRef> texts;         // String: slices of `arena`
        std::vector<QVariant> other;        // Variant
        std::string arena;                  // UTF-8 of the column's texts, one after another
        QHash<QByteArray, TextRef> shared;  // short texts seen in this column
        TextRef lastShared;                 // the shared text stored last: most often the next one too
        QHash<quint32, QString> sharedText; // each shared text as a QString, by offset (reading copies it)
        int lookups = 0;
        int hits = 0;
        bool sharing = true; // off for columns of mostly distinct texts
    };
    static constexpr qint32 kNoDay = std::numeric_limits<qint32>::min();
    TextRef store(Column& c, const QString& s);
    TextRef store(Column& c, const char* data, qsizetype size);

    std::vector<Column> cols_;
    std::vector<quint64> serials_;
    quint64 nextSerial_ = 1;
};

} // namespace rek2
