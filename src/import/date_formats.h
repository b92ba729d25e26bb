#pragma once
#include <QDate>
#include <string_view>

namespace rek2::importxls {

// Built-in .xlsx number formats 14-22, 27-36, 45-47 and 50-58 show dates or
// times (the locale-dependent ones included).
bool isBuiltinDateFormat(int id);

// A format code shows a date when, outside quoted text, escapes and
// brackets, it has a day or year part, or a month part without an hour or
// second (so "mm:ss" stays a number).
bool isDateFormatCode(std::string_view code);

// The day of a spreadsheet serial number counted from `origin` (30 December
// 1899, or 1 January 1904); the time of day is dropped.
QDate serialToDate(const QDate& origin, double serial);

} // namespace rek2::importxls
