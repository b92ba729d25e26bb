#pragma once
#include <QDate>
#include <QString>
#include <QVariant>
#include <optional>

namespace rek2::importxls {

// A worksheet value written as text: a date in the short date format
// (dd.MM.yyyy), a whole number without decimals, any other number with a
// decimal point, empty for an empty cell.
QString cellText(const QVariant& value);

// Conversions of one cell. Each returns false when the value cannot be
// converted (the import then stops on that cell); an empty cell converts.
// Whole number: a number without a fraction or a text of digits; empty is 0.
bool toWholeNumber(const QVariant& value, qint64& out);
// Amount: a number as it is; a text in one of the forms 1234,56 1234.56
// 1.234,56 1,234.56; empty is null. An ambiguous text (1.234, 1,234) fails.
bool toAmount(const QVariant& value, std::optional<double>& out);
// Date: a date value, or a text dd.MM.yyyy or yyyy-MM-dd; empty is null.
bool toDate(const QVariant& value, std::optional<QDate>& out);

// The amount text rule alone (for typed text too).
bool parseAmountText(const QString& text, double& out);

} // namespace rek2::importxls
