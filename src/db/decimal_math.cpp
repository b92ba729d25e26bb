#include "db/decimal_math.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace rek2 {

namespace {

double decimalCut(double x, int places, bool round)
{
    if (!std::isfinite(x) || x == 0.0)
        return x;
    const bool negative = x < 0;
    char buf[64];
    // Shortest round-trip form in scientific notation: d.ddddde±XX
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(x), std::chars_format::scientific);
    const std::string s(buf, res.ptr);
    const auto ePos = s.find('e');
    std::string digits;
    for (size_t i = 0; i < ePos; ++i)
        if (s[i] != '.')
            digits += s[i];
    const int exponent = std::atoi(s.c_str() + ePos + 1);
    // digits d0 d1 d2 ... stand for d0.d1d2... x 10^exponent
    const long keep = long(exponent) + 1 + places; // digits left of the cut
    if (keep >= long(digits.size()))
        return x;
    if (keep < 0)
        return 0.0;
    std::string kept = digits.substr(0, size_t(keep));
    if (round && digits[size_t(keep)] >= '5') {
        int i = int(kept.size()) - 1;
        while (i >= 0 && kept[size_t(i)] == '9') {
            kept[size_t(i)] = '0';
            --i;
        }
        if (i < 0)
            kept.insert(kept.begin(), '1');
        else
            ++kept[size_t(i)];
    }
    if (kept.empty())
        return 0.0;
    // kept is an integer scaled by 10^(exponent + 1 - keep) = 10^-places
    const std::string text = (negative ? "-" : "") + kept + "e" + std::to_string(-places);
    double out = 0;
    std::from_chars(text.data(), text.data() + text.size(), out);
    return out;
}

} // namespace

double decimalRound(double x, int places)
{
    return decimalCut(x, places, true);
}
double decimalTrunc(double x, int places)
{
    return decimalCut(x, places, false);
}

} // namespace rek2
