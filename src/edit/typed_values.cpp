#include "edit/typed_values.h"

#include <QDate>
#include <QRegularExpression>

namespace rek2 {
namespace {

std::optional<double> readAmount(QString text)
{
    text.remove(QLatin1Char(' '));
    // A comma is the decimal separator of the Slovenian form, whose dots
    // group thousands; without a comma the text is in the plain form.
    if (text.contains(QLatin1Char(','))) {
        static const QRegularExpression slovenian(QStringLiteral("^[+-]?(\\d{1,3}(\\.\\d{3})+|\\d*),\\d*$"));
        if (!slovenian.match(text).hasMatch())
            return std::nullopt;
        text.remove(QLatin1Char('.'));
        text.replace(QLatin1Char(','), QLatin1Char('.'));
    }
    static const QRegularExpression plain(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)$"));
    if (!plain.match(text).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return v;
}

} // namespace

std::optional<QVariant> typedValue(const QString& text, FieldType type)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return QVariant();
    switch (type) {
    case FieldType::Integer: {
        bool ok = false;
        const int v = t.toInt(&ok);
        return ok ? std::optional<QVariant>(v) : std::nullopt;
    }
    case FieldType::Float: {
        const auto v = readAmount(t);
        return v ? std::optional<QVariant>(*v) : std::nullopt;
    }
    case FieldType::Date: {
        const QDate d = QDate::fromString(t, QStringLiteral("d.M.yyyy"));
        return d.isValid() ? std::optional<QVariant>(d) : std::nullopt;
    }
    case FieldType::String:
    case FieldType::Variant:
        break;
    }
    // Texts are stored as typed, blanks included.
    return QVariant(text);
}

QString editorText(const QVariant& value, FieldType type)
{
    if (!value.isValid() || value.isNull())
        return QString();
    switch (type) {
    case FieldType::Float: {
        // Amounts show their two decimals; other numbers (rates) show all of theirs.
        const double v = value.toDouble();
        const bool cents = qRound64(v * 100) == v * 100;
        QString t = cents ? QString::number(v, 'f', 2) : QString::number(v, 'g', 15);
        return t.replace(QLatin1Char('.'), QLatin1Char(','));
    }
    case FieldType::Date:
        return value.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    default:
        return variantToText(value);
    }
}

QString badValueMessage(const QString& text, const QString& displayLabel)
{
    return QStringLiteral("Vrednost \"") + text + QStringLiteral("\" ni pravilna za polje \"") +
           displayLabel + QStringLiteral("\"!");
}

} // namespace rek2
