#pragma once

namespace rek2 {

// Rounding and truncation on the decimal value of a double, as a database
// with decimal numbers does it: the shortest decimal text that reads back as
// the same double is rounded, so ROUND(12.345, 2) is 12.35 although 12.345
// is a little less than that in binary. Halves go away from zero.
double decimalRound(double x, int places);
double decimalTrunc(double x, int places);

} // namespace rek2
