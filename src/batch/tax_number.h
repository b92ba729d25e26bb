#pragma once
#include <QString>

namespace rek2 {

// Slovenian tax numbers: eight digits, the first not 0, the last a check
// digit. With s = the sum of the first seven digits weighted 8, 7, ..., 2,
// the check digit is 11 - (s mod 11); a result of 10 gives 0, and a
// remainder of 0 (result 11) makes every number with those seven digits invalid.

// The check digit for seven leading digits, or -1 when none exists.
int taxNumberCheckDigit(const QString& sevenDigits);

// True for a well-formed Slovenian tax number with a correct check digit.
bool isValidTaxNumber(const QString& taxNumber);

} // namespace rek2
