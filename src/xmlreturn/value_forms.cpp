#include "xmlreturn/value_forms.h"

#include "db/decimal_math.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace rek2::xml {

namespace {

// Rounds a plain decimal text ("-12.345", "7", ".5") to two decimals, halves
// away from zero. Returns an empty text when `s` is not such a number.
// Works on a small buffer: amounts are formatted by the hundred thousand.
qsizetype roundDecimal(const char* s, qsizetype n, char* out)
{
    while (n > 0 && *s == ' ')
        ++s, --n;
    while (n > 0 && s[n - 1] == ' ')
        --n;
    bool negative = false;
    if (n > 0 && (*s == '-' || *s == '+')) {
        negative = *s == '-';
        ++s, --n;
    }
    // digits: integer part, then exactly three decimals (the third decides)
    char digits[420];
    qsizetype nd = 0;
    qsizetype decimals = -1;
    for (qsizetype i = 0; i < n; ++i) {
        const char c = s[i];
        if (c == '.' && decimals < 0) {
            decimals = 0;
            if (nd == 0)
                digits[nd++] = '0'; // ".5" reads as "0.5"
        } else if (c >= '0' && c <= '9') {
            if (decimals >= 3)
                continue;
            if (nd >= qsizetype(sizeof digits) - 4)
                return -1;
            digits[nd++] = c;
            if (decimals >= 0)
                ++decimals;
        } else {
            return -1;
        }
    }
    if (nd == 0)
        return -1;
    if (decimals < 0)
        decimals = 0;
    while (decimals < 3) {
        digits[nd++] = '0';
        ++decimals;
    }
    const bool roundUp = digits[--nd] >= '5'; // drop the third decimal
    if (roundUp) {
        qsizetype i = nd - 1;
        while (i >= 0 && digits[i] == '9')
            digits[i--] = '0';
        if (i < 0) {
            std::memmove(digits + 1, digits, std::size_t(nd));
            digits[0] = '1';
            ++nd;
        } else {
            ++digits[i];
        }
    }
    qsizetype lead = 0;
    while (lead + 3 < nd && digits[lead] == '0')
        ++lead;
    bool zero = true;
    for (qsizetype i = lead; i < nd && zero; ++i)
        zero = digits[i] == '0';
    qsizetype no = 0;
    if (negative && !zero)
        out[no++] = '-';
    for (qsizetype i = lead; i < nd - 2; ++i)
        out[no++] = digits[i];
    out[no++] = '.';
    out[no++] = digits[nd - 2];
    out[no++] = digits[nd - 1];
    return no;
}

QString roundDecimalText(const char* s, qsizetype n)
{
    char out[AmountText::Capacity];
    const qsizetype size = roundDecimal(s, n, out);
    return size < 0 ? QString() : QString::fromLatin1(out, size);
}

QString roundDecimalText(QStringView s)
{
    const QByteArray latin = s.toLatin1();
    return roundDecimalText(latin.constData(), latin.size());
}

} // namespace

namespace {

// Whole cents as "#0.00".
qsizetype centsText(long long cents, char* out)
{
    const bool negative = cents < 0;
    const unsigned long long u = negative ? 0ULL - static_cast<unsigned long long>(cents) : cents;
    char* p = out;
    if (negative)
        *p++ = '-';
    p = std::to_chars(p, p + 24, u / 100).ptr;
    const auto c = unsigned(u % 100);
    *p++ = '.';
    *p++ = char('0' + c / 10);
    *p++ = char('0' + c % 10);
    return p - out;
}

// The 15 significant digits of a (0.001 <= a < 1e13) as a whole number n,
// a = n * 10^(exponent - 14), through one multiplication in extended
// precision. Its error (below 1e-4 of the last digit) cannot change the
// rounding unless the product lies that close to a half; then, and for
// anything unusual, false: the caller takes the exact way.
bool fifteenDigits(double a, long long& n, int& exponent)
{
    static constexpr double lower[] = {1e-3, 1e-2, 1e-1, 1e0, 1e1, 1e2,  1e3,  1e4,
                                       1e5,  1e6,  1e7,  1e8, 1e9, 1e10, 1e11, 1e12};
    if (!(a >= 1e-3 && a < 1e13) || std::numeric_limits<long double>::digits < 64)
        return false;
    int e = 12;
    while (e > -3 && a < lower[e + 3])
        --e;
    long double scale = 1;
    for (int k = 0; k < 14 - e; ++k)
        scale *= 10; // exact: 10^17 fits the 64-bit significand
    const long double p = static_cast<long double>(a) * scale;
    const long double whole = std::floor(p);
    const long double frac = p - whole;
    if (std::fabs(frac - 0.5L) < 1e-3L)
        return false;
    n = static_cast<long long>(whole) + (frac > 0.5L ? 1 : 0);
    if (n < 100000000000000LL || n >= 1000000000000000LL)
        return false;
    exponent = e;
    return true;
}

} // namespace

AmountText amountText(double value)
{
    AmountText t;
    if (!std::isfinite(value))
        value = 0.0;
    // Most amounts are whole cents already. When the double is the one
    // nearest to a number of cents c (c / 100 of at most 15 significant
    // digits), that decimal is the one of 15 significant digits it stands
    // for (15 digits survive a round trip through a double), so it is the
    // answer as it is.
    if (std::fabs(value) < 1e12) {
        const long long c = std::llround(value * 100.0);
        if (double(c) / 100.0 == value) {
            t.size = centsText(c, t.data);
            return t;
        }
    }
    // Else its 15 significant digits, cut after the third decimal, which
    // decides (the general way below, without building texts).
    if (std::fabs(value) < 1e13) {
        long long n = 0;
        int exponent = 0;
        if (!fifteenDigits(std::fabs(value), n, exponent)) {
            char buf[40];
            const auto res =
                std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 14);
            // d.dddddddddddddde[+-]xx
            n = buf[0] - '0';
            for (int i = 2; i < 16; ++i)
                n = n * 10 + (buf[i] - '0');
            std::from_chars(buf[17] == '+' ? buf + 18 : buf + 17, res.ptr, exponent);
        }
        // value * 100 = n * 10^(exponent - 12); exponent <= 12 here.
        static constexpr long long pow10[] = {1LL,
                                              10LL,
                                              100LL,
                                              1000LL,
                                              10000LL,
                                              100000LL,
                                              1000000LL,
                                              10000000LL,
                                              100000000LL,
                                              1000000000LL,
                                              10000000000LL,
                                              100000000000LL,
                                              1000000000000LL,
                                              10000000000000LL,
                                              100000000000000LL,
                                              1000000000000000LL};
        const int drop = 12 - exponent;
        if (drop >= 0) {
            long long cents = drop < 16 ? n / pow10[drop] : 0;
            const int third = drop >= 1 && drop - 1 < 16 ? int(n / pow10[drop - 1] % 10) : 0;
            if (third >= 5)
                ++cents;
            t.size = centsText(value < 0 ? -cents : cents, t.data);
            return t;
        }
    }
    // The decimal the double stands for (its closest of 15 significant
    // digits, as the database's ROUND reads it), rounded as a decimal: a
    // gross of 3 * 0.075 is written 0.23 like ROUND(3 * 0.075, 2).
    const std::string decimal = decimalText(value);
    t.size = roundDecimal(decimal.data(), qsizetype(decimal.size()), t.data);
    return t;
}

AmountText amountText(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Double:
        if (!value.isNull())
            return amountText(value.toDouble());
        break;
    default:
        break;
    }
    AmountText t;
    const QString text = formatAmount(value);
    t.size = text.size();
    for (qsizetype i = 0; i < t.size; ++i)
        t.data[i] = char(text[i].unicode());
    return t;
}

QString formatAmount(double value)
{
    const AmountText t = amountText(value);
    return QString::fromLatin1(t.data, t.size);
}

QString formatAmount(const QVariant& value)
{
    if (value.isNull() || !value.isValid())
        return QStringLiteral("0.00");
    switch (value.typeId()) {
    case QMetaType::QString:
    case QMetaType::QByteArray: {
        const QString text = value.toString().trimmed();
        if (text.isEmpty())
            return QStringLiteral("0.00");
        const QString rounded = roundDecimalText(text);
        if (!rounded.isEmpty())
            return rounded;
        bool ok = false;
        const double d = text.toDouble(&ok); // exponent forms
        return formatAmount(ok ? d : 0.0);
    }
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return value.toString() + QStringLiteral(".00");
    default:
        return formatAmount(value.toDouble());
    }
}

QString formatInteger(const QVariant& value)
{
    if (value.isNull() || !value.isValid())
        return QStringLiteral("0");
    bool ok = false;
    const qlonglong n = value.toLongLong(&ok);
    if (ok)
        return QString::number(n);
    return QString::number(std::llround(value.toDouble()));
}

QString formatDate(const QDate& date)
{
    return date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")) : QString();
}

std::optional<qint32> readWholeNumber(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t[i];
        const bool sign = i == 0 && (c == u'-' || c == u'+') && t.size() > 1;
        if (!sign && !(c >= u'0' && c <= u'9'))
            return std::nullopt;
    }
    bool ok = false;
    const qint32 n = t.toInt(&ok);
    if (!ok)
        return std::nullopt;
    return n;
}

std::optional<qint32> readWholeNumber(QByteArrayView utf8)
{
    const auto space = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    qsizetype b = 0, e = utf8.size();
    for (qsizetype i = 0; i < e; ++i)
        if (static_cast<unsigned char>(utf8[i]) >= 0x80)
            return readWholeNumber(QString::fromUtf8(utf8)); // blanks beyond ASCII
    while (b < e && space(utf8[b]))
        ++b;
    while (e > b && space(utf8[e - 1]))
        --e;
    if (b == e)
        return std::nullopt;
    bool negative = false;
    if ((utf8[b] == '-' || utf8[b] == '+') && e - b > 1) {
        negative = utf8[b] == '-';
        ++b;
    }
    long long n = 0;
    for (qsizetype i = b; i < e; ++i) {
        const char c = utf8[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        n = n * 10 + (c - '0');
        if (n > 2147483648LL)
            return std::nullopt;
    }
    if (negative)
        n = -n;
    if (n > 2147483647LL)
        return std::nullopt;
    return qint32(n);
}

bool xmlCanCarry(QByteArrayView utf8)
{
    for (const char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r')
            return false;
        // U+FFFE and U+FFFF start with 0xEF: read those the long way.
        if (c == 0xEF)
            return xmlCanCarry(QString::fromUtf8(utf8));
    }
    return true;
}

bool xmlCanCarry(QStringView text)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x20) {
            if (c != u'\t' && c != u'\n' && c != u'\r')
                return false;
        } else if (c == 0xFFFE || c == 0xFFFF) {
            return false;
        } else if (QChar::isHighSurrogate(c)) {
            if (i + 1 >= n || !QChar::isLowSurrogate(text[i + 1].unicode()))
                return false;
            ++i;
        } else if (QChar::isLowSurrogate(c)) {
            return false;
        }
    }
    return true;
}

} // namespace rek2::xml
