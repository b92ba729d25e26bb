#pragma once
#include <QDate>
#include <QString>
#include <QVariant>

namespace rek2 {

// PopraviNaziv: makes a text safe for a file name (and for tree node texts):
// / \ : * ? " < > | become "-", blanks are removed.
QString PopraviNaziv(const QString& text);

// The parts a return's file name is made of, as read from its summary.
struct ReturnNameParts
{
    QString sfvp;           // security short code
    QVariant stkpn;         // coupon number; null -> 0
    QString correctionType; // as read when the run began
    // Codes other than the security are cleaned too, so that no value can
    // lead the file out of its folder.
    qint64 idZbir = 0;
    QString sifVrsteDoh;
    QDate datumIzp;
    QDate datumPlcDvk; // second date only when set and different
};

// "REK2_<sfvp>_<coupon>_<type>_<id>_<income type>_<yymmdd>[_<yymmdd>]" + extension.
QString returnFileName(const ReturnNameParts& parts, const QString& extension = QStringLiteral(".xml"));

} // namespace rek2
