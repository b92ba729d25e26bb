#include "xmlreturn/value_forms.h"

#include "db/decimal_math.h"

#include <charconv>
#include <cmath>
#include <cstring>

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

AmountText amountText(double value)
{
    AmountText t;
    if (!std::isfinite(value))
        value = 0.0;
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
