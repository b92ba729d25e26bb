#pragma once
#include <QDateTime>
#include <QRect>
#include <QString>
#include <QStringList>

namespace rek2 {

// The decisions of the record editor that need no widget and no database.

// A lookup slot: the table a lookup button searches and the fields it fills.
struct TLookup
{
    QString table;
    QStringList fields;
};

// Comma-separated names; empty pieces are dropped, pieces are not trimmed.
QStringList splitFieldList(const QString& text);

// "OSB(NAZIV,NASLOV,POOB_DVS)": table from the first three characters, fields
// from the fifth to the one before the last. Empty text gives an empty slot.
TLookup parseLookup(const QString& text);

// The editable-fields text that makes every editor read-only.
QString readOnlyFieldsText();

// Whether the editor of `field` may be changed for the caller's
// editable-fields text (empty = all, "nič" = none, else a list of names).
bool mayEditField(const QString& field, const QString& editableText);

// Generated controls of the field at position `r` (0-based, dataset order):
// two columns of 20, at the design positions times `scale`.
struct DetailsGeometry
{
    QRect editor;
    QRect caption;
    QRect lookupButton;
};
DetailsGeometry detailsGeometry(int r, double scale = 1.0);

// The field the editor leaves out (case counts: STOPNJA is shown).
bool isHiddenField(const QString& field);

// Caption of a field's editor: the first 25 characters of its display label.
QString captionOf(const QString& displayLabel);

// "Storno": cancellation allowed and the record is no cancellation itself.
bool stornoVisible(bool cancellationAllowed, bool hasCorrectionType, const QString& correctionType);

// "Popravek": with "Storno" while the tax payment is at most 365 days back
// (or has no date), and always for the history summary without a number.
bool popravekVisible(bool storno, bool hasPaymentDate, const QDate& paymentDate, const QDateTime& now,
                     const QString& editableText, bool cancellationAllowed);

// "EDP-" + the payer's tax number + "-": the start of every document number.
QString edpPrefix(const QString& payerTaxNumber);
bool hasEdpPrefix(const QString& number, const QString& payerTaxNumber);

// Warnings of a refused document number.
QString edpFormatMessage(const QString& number);
QString edpUsedMessage(const QString& number);

// The name of an analytic row's recipient built from its parts.
QString fullName(const QString& ime, const QString& priimek);

} // namespace rek2
