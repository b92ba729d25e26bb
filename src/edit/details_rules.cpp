#include "edit/details_rules.h"

namespace rek2 {

QStringList splitFieldList(const QString& text)
{
    return text.split(QLatin1Char(','), Qt::SkipEmptyParts);
}

TLookup parseLookup(const QString& text)
{
    TLookup slot;
    if (text.isEmpty())
        return slot;
    slot.table = text.left(3);
    // From the fifth character up to (not including) the last one.
    if (text.size() > 5)
        slot.fields = splitFieldList(text.mid(4, text.size() - 5));
    return slot;
}

QString readOnlyFieldsText()
{
    return QStringLiteral("nič");
}

bool mayEditField(const QString& field, const QString& editableText)
{
    if (field == QLatin1String("ID_REK2_ANAL") || field == QLatin1String("ID_REK2_ZBIR"))
        return false;
    if (editableText == readOnlyFieldsText())
        return false;
    if (editableText.isEmpty())
        return field != QLatin1String("DURS_ID_DOK");
    return splitFieldList(editableText).contains(field);
}

DetailsGeometry detailsGeometry(int r, double scale)
{
    const int row = r % 20;
    const int column = r / 20;
    auto s = [scale](int v) { return qRound(v * scale); };
    DetailsGeometry g;
    g.editor = QRect(s(300 * column + 180), s(22 * row + 10), s(120), s(21));
    g.caption = QRect(s(300 * column + 5), s(22 * row + 13), s(160), s(17));
    g.lookupButton = QRect(s(300 * column + 280), s(22 * row + 11), s(30), s(20));
    return g;
}

bool isHiddenField(const QString& field)
{
    return field == QLatin1String("Stopnja");
}

QString captionOf(const QString& displayLabel)
{
    return displayLabel.left(25);
}

bool stornoVisible(bool cancellationAllowed, bool hasCorrectionType, const QString& correctionType)
{
    return cancellationAllowed && hasCorrectionType && correctionType != QLatin1String("S");
}

bool popravekVisible(bool storno, bool hasPaymentDate, const QDate& paymentDate, const QDateTime& now,
                     const QString& editableText, bool cancellationAllowed)
{
    if (editableText == QLatin1String("DURS_ID_DOK") && !cancellationAllowed)
        return true;
    if (!storno || !hasPaymentDate)
        return false;
    // The day of payment plus 365 days, at midnight, against this moment.
    return !paymentDate.isValid() || QDateTime(paymentDate.addDays(365), QTime(0, 0)) >= now;
}

QString edpPrefix(const QString& payerTaxNumber)
{
    return QStringLiteral("EDP-") + payerTaxNumber + QStringLiteral("-");
}

bool hasEdpPrefix(const QString& number, const QString& payerTaxNumber)
{
    return number.startsWith(edpPrefix(payerTaxNumber), Qt::CaseSensitive);
}

QString edpFormatMessage(const QString& number)
{
    return QStringLiteral("EDP številka ") + number + QStringLiteral(" ni pravilnog formata. EDP-DVS-n ");
}

QString edpUsedMessage(const QString& number)
{
    return QStringLiteral("EDP številka ") + number + QStringLiteral(" že obstaja!");
}

QString fullName(const QString& ime, const QString& priimek)
{
    return (ime + QStringLiteral(" ") + priimek).trimmed();
}

} // namespace rek2
