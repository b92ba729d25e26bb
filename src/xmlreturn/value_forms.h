#pragma once
#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <QVariant>

#include <optional>
#include <string_view>

namespace rek2::xml {

// Text forms of the values in a return document.

// "#0.00" with a point: at least one digit before it, exactly two after, a
// leading minus for negatives. Ties are rounded away from zero on the decimal
// value the number shows (0.125 -> 0.13, 1.005 -> 1.01), unlike printf which
// rounds the binary value; a result of zero never carries a minus. Null -> 0.00.
// Accepts numbers and decimal text (a numeric column may arrive as text).
QString formatAmount(const QVariant& value);
QString formatAmount(double value);

// The same text without a heap allocation, for writing large returns.
struct AmountText
{
    static constexpr qsizetype Capacity = 424;
    char data[Capacity];
    qsizetype size = 0;
    std::string_view view() const { return std::string_view(data, std::size_t(size)); }
};
AmountText amountText(double value);
AmountText amountText(const QVariant& value);

// Whole number of a number column; null -> "0".
QString formatInteger(const QVariant& value);

// yyyy-MM-dd; an invalid date gives an empty text.
QString formatDate(const QDate& date);

inline QString formatBoolean(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

// A tax number held as text read as a 32-bit whole number: surrounding blanks
// allowed, an optional sign, digits only. Nothing else reads.
std::optional<qint32> readWholeNumber(const QString& text);
// The same for UTF-8 text as the database hands it out.
std::optional<qint32> readWholeNumber(QByteArrayView utf8);

// Whether XML 1.0 can carry the text once a tab, CR or LF is written as a
// blank (as the writer does): no other control character, no U+FFFE/U+FFFF,
// no unpaired surrogate.
bool xmlCanCarry(QStringView text);
// The same for UTF-8 text as the database hands it out (read as QString
// would read it: a malformed sequence becomes U+FFFD, which XML carries).
bool xmlCanCarry(QByteArrayView utf8);

} // namespace rek2::xml
