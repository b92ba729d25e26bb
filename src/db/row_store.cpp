#include "db/row_store.h"

#include <QDate>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace rek2 {

void RowStore::reset(const std::vector<FieldType>& types)
{
    cols_.clear();
    cols_.resize(types.size());
    for (size_t i = 0; i < types.size(); ++i)
        cols_[i].type = types[i];
    serials_.clear();
}

void RowStore::reserve(int rows)
{
    for (Column& c : cols_) {
        switch (c.type) {
        case FieldType::Integer:
        case FieldType::Float:
            c.nums.reserve(size_t(rows));
            break;
        case FieldType::Date:
            c.days.reserve(size_t(rows));
            break;
        case FieldType::String:
            c.texts.reserve(size_t(rows));
            break;
        case FieldType::Variant:
            c.other.reserve(size_t(rows));
            break;
        }
    }
    serials_.reserve(size_t(rows));
}

void RowStore::squeeze()
{
    for (Column& c : cols_) {
        c.nums.shrink_to_fit();
        c.days.shrink_to_fit();
        c.texts.shrink_to_fit();
        c.other.shrink_to_fit();
        c.arena.shrink_to_fit();
    }
    serials_.shrink_to_fit();
}

int RowStore::insertRow(int row)
{
    const auto at = size_t(std::clamp(row, 0, rowCount()));
    for (Column& c : cols_) {
        switch (c.type) {
        case FieldType::Integer:
        case FieldType::Float:
            c.nums.insert(c.nums.begin() + long(at), std::numeric_limits<double>::quiet_NaN());
            break;
        case FieldType::Date:
            c.days.insert(c.days.begin() + long(at), kNoDay);
            break;
        case FieldType::String:
            c.texts.insert(c.texts.begin() + long(at), TextRef());
            break;
        case FieldType::Variant:
            c.other.insert(c.other.begin() + long(at), QVariant());
            break;
        }
    }
    serials_.insert(serials_.begin() + long(at), nextSerial_++);
    return int(at);
}

void RowStore::removeRow(int row)
{
    const long at = row;
    for (Column& c : cols_) {
        switch (c.type) {
        case FieldType::Integer:
        case FieldType::Float:
            c.nums.erase(c.nums.begin() + at);
            break;
        case FieldType::Date:
            c.days.erase(c.days.begin() + at);
            break;
        case FieldType::String:
            c.texts.erase(c.texts.begin() + at);
            break;
        case FieldType::Variant:
            c.other.erase(c.other.begin() + at);
            break;
        }
    }
    serials_.erase(serials_.begin() + at);
}

QVariant RowStore::value(int row, int col) const
{
    const Column& c = cols_[size_t(col)];
    const auto r = size_t(row);
    switch (c.type) {
    case FieldType::Integer: {
        const double d = c.nums[r];
        return std::isnan(d) ? QVariant() : QVariant(qlonglong(d));
    }
    case FieldType::Float: {
        const double d = c.nums[r];
        return std::isnan(d) ? QVariant() : QVariant(d);
    }
    case FieldType::Date: {
        const QDate d = day(row, col);
        return d.isValid() ? QVariant(d) : QVariant();
    }
    case FieldType::String:
        if (c.texts[r].length == kNullText)
            return {};
        return text(row, col);
    case FieldType::Variant:
        return c.other[r];
    }
    return {};
}

QDate RowStore::day(int row, int col) const
{
    const qint32 jd = cols_[size_t(col)].days[size_t(row)];
    return jd == kNoDay ? QDate() : QDate::fromJulianDay(jd);
}

QString RowStore::text(int row, int col) const
{
    const Column& c = cols_[size_t(col)];
    const TextRef t = c.texts[size_t(row)];
    if (t.length == kNullText)
        return {};
    // A code read on every row is decoded once, when first stored.
    if (!c.sharedText.isEmpty()) {
        const auto it = c.sharedText.constFind(t.offset);
        if (it != c.sharedText.cend())
            return *it;
    }
    return QString::fromUtf8(c.arena.data() + t.offset, qsizetype(t.length));
}

RowStore::TextRef RowStore::store(Column& c, const QString& s)
{
    const QByteArray utf8 = s.toUtf8();
    return store(c, utf8.constData(), utf8.size());
}

RowStore::TextRef RowStore::store(Column& c, const char* data, qsizetype size)
{
    // Codes and marks repeat on every row: keep one copy of each.
    const bool shareIt = c.sharing && size <= 24;
    if (shareIt) {
        ++c.lookups;
        const TextRef last = c.lastShared;
        if (last.length == quint32(size) &&
            std::memcmp(c.arena.data() + last.offset, data, size_t(size)) == 0) {
            ++c.hits;
            return last;
        }
        const auto it = c.shared.constFind(QByteArray::fromRawData(data, size));
        if (it != c.shared.cend()) {
            ++c.hits;
            c.lastShared = *it;
            return *it;
        }
    }
    if (c.arena.size() + size_t(size) >= size_t(kNullText))
        throw std::length_error("too much text in one column");
    const TextRef ref{quint32(c.arena.size()), quint32(size)};
    c.arena.append(data, size_t(size));
    if (shareIt) {
        if (c.lookups >= 2000 && c.hits < c.lookups / 2) {
            // Tax numbers and the like: every text is new, a look-up saves nothing.
            c.sharing = false;
            c.shared.clear();
            c.sharedText.clear();
        } else if (c.shared.size() < 4096) {
            c.shared.insert(QByteArray(data, size), ref);
            c.sharedText.insert(ref.offset, QString::fromUtf8(data, size));
            c.lastShared = ref;
        }
    }
    return ref;
}

void RowStore::setValue(int row, int col, const QVariant& v)
{
    Column& c = cols_[size_t(col)];
    const auto r = size_t(row);
    const bool null = v.isNull() || !v.isValid();
    switch (c.type) {
    case FieldType::Integer:
    case FieldType::Float:
        c.nums[r] = null ? std::numeric_limits<double>::quiet_NaN() : v.toDouble();
        break;
    case FieldType::Date:
        c.days[r] = null || !v.toDate().isValid() ? kNoDay : qint32(v.toDate().toJulianDay());
        break;
    case FieldType::String:
        c.texts[r] = null ? TextRef() : store(c, v.toString());
        break;
    case FieldType::Variant:
        c.other[r] = v;
        break;
    }
}

int RowStore::appendRow()
{
    for (Column& c : cols_) {
        switch (c.type) {
        case FieldType::Integer:
        case FieldType::Float:
            c.nums.push_back(std::numeric_limits<double>::quiet_NaN());
            break;
        case FieldType::Date:
            c.days.push_back(kNoDay);
            break;
        case FieldType::String:
            c.texts.push_back(TextRef());
            break;
        case FieldType::Variant:
            c.other.emplace_back();
            break;
        }
    }
    serials_.push_back(nextSerial_++);
    return rowCount() - 1;
}

void RowStore::setUtf8(int row, int col, const char* data, qsizetype size)
{
    Column& c = cols_[size_t(col)];
    c.texts[size_t(row)] = store(c, data, size);
}

namespace {

template <typename T> void gather(std::vector<T>& values, const std::vector<int>& order)
{
    if (values.empty())
        return;
    std::vector<T> out;
    out.reserve(values.size());
    for (int r : order)
        out.push_back(std::move(values[size_t(r)]));
    values.swap(out);
}

} // namespace

void RowStore::permute(const std::vector<int>& order)
{
    if (order.size() != serials_.size())
        throw std::logic_error("a row order must name every row once");
    for (Column& c : cols_) {
        gather(c.nums, order);
        gather(c.days, order);
        gather(c.texts, order);
        gather(c.other, order);
    }
    gather(serials_, order);
}

int RowStore::rowOfSerial(quint64 serial) const
{
    // Serials grow with the row order of a fetch; inserted rows break that,
    // so a linear search is the safe answer (bookmarks are rare).
    const auto it = std::find(serials_.begin(), serials_.end(), serial);
    return it == serials_.end() ? -1 : int(it - serials_.begin());
}

} // namespace rek2
