#include "db/decimal_math.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace rek2 {

namespace {

// The closest decimal of 15 significant digits to |x| (x finite, not zero):
// its digits without trailing zeros, and the power of ten of the first one.
// A double holds 15 significant decimal digits exactly, so this is the
// decimal value an amount computed in binary stands for: 3 * 0.075 is
// 0.22499999999999998 in binary, and 0.225 here.
struct Decimal
{
    std::string digits; // d0 d1 d2 ... stand for d0.d1d2... x 10^exponent
    int exponent = 0;
};

Decimal toDecimal(double x)
{
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(x), std::chars_format::scientific, 14);
    const std::string s(buf, res.ptr);
    const auto ePos = s.find('e');
    Decimal d;
    for (size_t i = 0; i < ePos; ++i)
        if (s[i] != '.')
            d.digits += s[i];
    while (d.digits.size() > 1 && d.digits.back() == '0')
        d.digits.pop_back();
    d.exponent = std::atoi(s.c_str() + ePos + 1);
    return d;
}

double fromDigits(bool negative, const std::string& digits, int scale)
{
    // digits as an integer times 10^scale
    const std::string text = (negative ? "-" : "") + digits + "e" + std::to_string(scale);
    double out = 0;
    std::from_chars(text.data(), text.data() + text.size(), out);
    return out;
}

double decimalCut(double x, int places, bool round)
{
    if (!std::isfinite(x) || x == 0.0)
        return x;
    const bool negative = x < 0;
    const Decimal d = toDecimal(x);
    const long keep = long(d.exponent) + 1 + places; // digits left of the cut
    if (keep >= long(d.digits.size()))
        return fromDigits(negative, d.digits, d.exponent + 1 - int(d.digits.size()));
    if (keep < 0)
        return 0.0;
    std::string kept = d.digits.substr(0, size_t(keep));
    if (round && d.digits[size_t(keep)] >= '5') {
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
    return fromDigits(negative, kept, -places);
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

std::string decimalText(double x)
{
    if (!std::isfinite(x))
        return {};
    if (x == 0.0)
        return "0";
    const Decimal d = toDecimal(x);
    const int n = int(d.digits.size());
    const int point = d.exponent + 1; // digits before the decimal point
    std::string out = x < 0 ? "-" : "";
    if (point <= 0)
        out += "0." + std::string(size_t(-point), '0') + d.digits;
    else if (point >= n)
        out += d.digits + std::string(size_t(point - n), '0');
    else
        out += d.digits.substr(0, size_t(point)) + "." + d.digits.substr(size_t(point));
    return out;
}

std::string oracleNumberText(double x)
{
    std::string s = decimalText(x);
    if (s.rfind("0.", 0) == 0)
        s.erase(0, 1);
    else if (s.rfind("-0.", 0) == 0)
        s.erase(1, 1);
    return s;
}

} // namespace rek2
