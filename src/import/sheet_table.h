#pragma once
#include <QDate>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rek2::importxls {

// The used area of one worksheet as typed values, indexed by worksheet row
// and column, both counted from 1. A value is a date (QDate), a number
// (double), a text (QString) or empty (an invalid QVariant).
//
// Rows are kept sparse (only the cells that hold something) and texts as
// UTF-8 in one pool, so a sheet takes little more memory than its values.
class SheetTable
{
public:
    int rowCount() const { return static_cast<int>(rows_.size()); }
    int columnCount() const { return columns_; }
    bool isEmpty() const { return rows_.empty(); }

    QVariant value(int row, int column) const;

    // Builders: rows and columns from 1. A later value replaces an earlier one.
    void setNumber(int row, int column, double v);
    void setDate(int row, int column, QDate d);
    void setText(int row, int column, std::string_view utf8);
    // A text of the pool (shared strings are added once and used by index).
    uint32_t addText(std::string_view utf8);
    void setTextIndex(int row, int column, uint32_t index);
    void clear(int row, int column);

    // Copies the cell at (row, column) into the `count` rows below it.
    void fillDown(int row, int column, int count);

    // Copies every cell of `row` into the `count` rows below it.
    void repeatRow(int row, int count);

    // The number at (row, column), when it is one (for date formats applied
    // after the value was read).
    bool numberAt(int row, int column, double& v) const;

    // Drops trailing empty rows and recomputes the used columns.
    void trim();

private:
    enum class Kind : uint8_t { Number, Date, Text };
    struct Cell
    {
        int32_t column;
        Kind kind;
        union {
            double number;
            int64_t day; // Julian day
            uint32_t text;
        };
    };
    using Row = std::vector<Cell>;

    Cell* find(int row, int column);
    const Cell* find(int row, int column) const;
    Cell& slot(int row, int column);

    std::vector<Row> rows_;
    std::vector<std::string> texts_;
    int columns_ = 0;
};

} // namespace rek2::importxls
