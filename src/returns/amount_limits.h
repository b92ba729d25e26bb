#pragma once
#include <cmath>

namespace rek2 {

// Whether an amount can stand in an amount field of the return: a finite
// number below 10^13 in size (15 digits with the two decimals). A quantity
// typed or imported wrongly can make a gross of infinity; such a row is
// reported by the checks and refused by the XML run, never written as 0.00.
inline bool amountFitsReturn(double value)
{
    return std::isfinite(value) && std::fabs(value) < 1e13;
}

} // namespace rek2
