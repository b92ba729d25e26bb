#include "xmlreturn/value_forms.h"

#include <charconv>
#include <cmath>
#include <string>

namespace rek2::xml {

namespace {

// Rounds a plain decimal text ("-12.345", "7", ".5") to two decimals, halves
// away from zero. Returns an empty text when `s` is not such a number.
QString roundDecimalText(QStringView s)
{
    s = s.trimmed();
    bool negative = false;
    if (!s.isEmpty() && (s.front() == u'-' || s.front() == u'+')) {
        negative = s.front() == u'-';
        s = s.mid(1);
    }
    std::string intPart;
    std::string frac;
    bool seenPoint = false;
    for (QChar c : s) {
        if (c == u'.' && !seenPoint) {
            seenPoint = true;
        } else if (c.isDigit() && c.unicode() < 128) {
            (seenPoint ? frac : intPart).push_back(char(c.unicode()));
        } else {
            return QString();
        }
    }
    if (intPart.empty() && frac.empty())
        return QString();
    if (intPart.empty())
        intPart = "0";
    frac.resize(std::max<std::size_t>(frac.size(), 3), '0');

    // Digits kept: integer part and two decimals; the third decimal decides.
    std::string digits = intPart + frac.substr(0, 2);
    if (frac[2] >= '5') {
        int i = int(digits.size()) - 1;
        while (i >= 0 && digits[std::size_t(i)] == '9')
            digits[std::size_t(i--)] = '0';
        if (i < 0)
            digits.insert(digits.begin(), '1');
        else
            ++digits[std::size_t(i)];
    }
    std::size_t lead = 0;
    while (lead + 3 < digits.size() && digits[lead] == '0')
        ++lead;
    digits.erase(0, lead);
    const bool zero = digits.find_first_not_of('0') == std::string::npos;
    std::string out = (negative && !zero) ? "-" : "";
    out += digits.substr(0, digits.size() - 2);
    out += '.';
    out += digits.substr(digits.size() - 2);
    return QString::fromLatin1(out.data(), qsizetype(out.size()));
}

} // namespace

QString formatAmount(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("0.00");
    // The shortest text that reads back as the same double is the decimal
    // value the number stands for (what the database holds and shows).
    char buf[400];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    return roundDecimalText(QString::fromLatin1(buf, res.ptr - buf));
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

} // namespace rek2::xml
