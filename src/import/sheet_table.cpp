#include "import/sheet_table.h"

#include <algorithm>

namespace rek2::importxls {

namespace {
bool byColumn(const auto& cell, int column)
{
    return cell.column < column;
}
} // namespace

const SheetTable::Cell* SheetTable::find(int row, int column) const
{
    if (row < 1 || row > rowCount() || column < 1)
        return nullptr;
    const Row& r = rows_[row - 1];
    // Cells arrive in column order, so a row is sorted and searched by halves.
    auto it = std::lower_bound(r.begin(), r.end(), column, byColumn<Cell>);
    return it != r.end() && it->column == column ? &*it : nullptr;
}

SheetTable::Cell* SheetTable::find(int row, int column)
{
    return const_cast<Cell*>(std::as_const(*this).find(row, column));
}

SheetTable::Cell& SheetTable::slot(int row, int column)
{
    if (row > rowCount())
        rows_.resize(row);
    columns_ = std::max(columns_, column);
    Row& r = rows_[row - 1];
    if (r.empty() || r.back().column < column) {
        r.push_back(Cell{column, Kind::Number, {0.0}});
        return r.back();
    }
    auto it = std::lower_bound(r.begin(), r.end(), column, byColumn<Cell>);
    if (it == r.end() || it->column != column)
        it = r.insert(it, Cell{column, Kind::Number, {0.0}});
    return *it;
}

QVariant SheetTable::value(int row, int column) const
{
    const Cell* c = find(row, column);
    if (!c)
        return QVariant();
    switch (c->kind) {
    case Kind::Number:
        return c->number;
    case Kind::Date:
        return QDate::fromJulianDay(c->day);
    case Kind::Text:
        return QString::fromUtf8(texts_[c->text]);
    }
    return QVariant();
}

void SheetTable::setNumber(int row, int column, double v)
{
    if (row < 1 || column < 1)
        return;
    Cell& c = slot(row, column);
    c.kind = Kind::Number;
    c.number = v;
}

void SheetTable::setDate(int row, int column, QDate d)
{
    if (row < 1 || column < 1 || !d.isValid())
        return;
    Cell& c = slot(row, column);
    c.kind = Kind::Date;
    c.day = d.toJulianDay();
}

uint32_t SheetTable::addText(std::string_view utf8)
{
    texts_.emplace_back(utf8);
    return static_cast<uint32_t>(texts_.size() - 1);
}

void SheetTable::setTextIndex(int row, int column, uint32_t index)
{
    if (row < 1 || column < 1 || index >= texts_.size())
        return;
    // An empty text is an empty cell, as the spreadsheet shows it.
    if (texts_[index].empty()) {
        clear(row, column);
        return;
    }
    Cell& c = slot(row, column);
    c.kind = Kind::Text;
    c.text = index;
}

void SheetTable::setText(int row, int column, std::string_view utf8)
{
    if (utf8.empty()) {
        clear(row, column);
        return;
    }
    setTextIndex(row, column, addText(utf8));
}

void SheetTable::clear(int row, int column)
{
    if (row < 1 || row > rowCount())
        return;
    Row& r = rows_[row - 1];
    auto it = std::lower_bound(r.begin(), r.end(), column, byColumn<Cell>);
    if (it != r.end() && it->column == column)
        r.erase(it);
}

void SheetTable::fillDown(int row, int column, int count)
{
    const Cell* c = find(row, column);
    if (!c || count <= 0)
        return;
    const Cell copy = *c;
    for (int r = row + 1; r <= row + count; ++r) {
        Cell& target = slot(r, column);
        target = copy;
    }
}

void SheetTable::repeatRow(int row, int count)
{
    if (row < 1 || row > rowCount() || count <= 0 || rows_[row - 1].empty())
        return;
    const Row copy = rows_[row - 1];
    if (row + count > rowCount())
        rows_.resize(row + count);
    for (int r = row + 1; r <= row + count; ++r)
        rows_[r - 1] = copy;
}

bool SheetTable::numberAt(int row, int column, double& v) const
{
    const Cell* c = find(row, column);
    if (!c || c->kind != Kind::Number)
        return false;
    v = c->number;
    return true;
}

void SheetTable::trim()
{
    while (!rows_.empty() && rows_.back().empty())
        rows_.pop_back();
    columns_ = 0;
    for (const Row& r : rows_)
        if (!r.empty())
            columns_ = std::max(columns_, r.back().column);
}

} // namespace rek2::importxls
