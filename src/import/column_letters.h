#pragma once
#include <QString>

namespace rek2::importxls {

// Worksheet column letters to a column number: "A" 1 ... "Z" 26, two letters
// 26 x (first - 64) + (second - 64): "AA" 27, "IV" 256. Anything else is
// converted by the same codes (a lower-case "a" gives 33, outside any used
// area); empty or longer than two characters gives 0 (no column).
int columnNumber(const QString& letters);

// A column number back to its letters (1 "A", 28 "AB"); for cell names in
// messages.
QString columnLetters(int column);

// The check when the mapping is saved: empty, or one or two letters A-Z
// (lower case is made upper case). Returns false for anything else; `out`
// then is unchanged.
bool normaliseColumnLetters(const QString& in, QString& out);

} // namespace rek2::importxls
