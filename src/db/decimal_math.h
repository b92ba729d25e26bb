#pragma once
#include <string>

namespace rek2 {

// Numbers of the system are exact decimals; on an engine that holds them as
// binary doubles a value is first brought to its closest decimal of 15
// significant digits (what a double holds exactly), then rounded or written.
// So 3 * 0.075, which is 0.22499999999999998 in binary, is 0.225 and rounds
// to 0.23, and ROUND(12.345, 2) is 12.35. Halves go away from zero.
double decimalRound(double x, int places);
double decimalTrunc(double x, int places);

// That decimal as plain text: no exponent, no trailing zeros, "0" for zero,
// empty for a value that is not finite ("100000", "0.3", "-12.5").
std::string decimalText(double x);

// As Oracle writes a number as text: the same, without the zero before the
// decimal point (".3", "-.5").
std::string oracleNumberText(double x);

} // namespace rek2
