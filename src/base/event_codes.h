#pragma once
#include <QString>

namespace rek2 {

// The withholding event codes are pasted into IN lists of the statements, so
// only a plain list is let through: whole numbers or quoted codes without
// inner quotes, separated by commas (blanks around an item are fine).
bool isValidEventCodeList(const QString& codes);

// The message for an empty or malformed list.
QString eventCodesMessage();

} // namespace rek2
