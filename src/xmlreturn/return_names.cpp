#include "xmlreturn/return_names.h"

#include <cmath>

namespace rek2 {

QString PopraviNaziv(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '/':
        case '\\':
        case ':':
        case '*':
        case '?':
        case '"':
        case '<':
        case '>':
        case '|':
            out += QLatin1Char('-');
            break;
        case ' ':
            break;
        default:
            out += c;
            break;
        }
    }
    return out;
}

QString returnFileName(const ReturnNameParts& p, const QString& extension)
{
    const QString yymmdd = QStringLiteral("yyMMdd");
    qint64 coupon = 0;
    if (!p.stkpn.isNull() && p.stkpn.isValid())
        coupon = std::llround(p.stkpn.toDouble());
    QString name = QStringLiteral("REK2_") + PopraviNaziv(p.sfvp) + QLatin1Char('_') +
                   QString::number(coupon) + QLatin1Char('_') + PopraviNaziv(p.correctionType) +
                   QLatin1Char('_') + QString::number(p.idZbir) + QLatin1Char('_') +
                   PopraviNaziv(p.sifVrsteDoh) + QLatin1Char('_') + p.datumIzp.toString(yymmdd);
    if (p.datumPlcDvk.isValid() && p.datumPlcDvk != p.datumIzp)
        name += QLatin1Char('_') + p.datumPlcDvk.toString(yymmdd);
    return name + extension;
}

} // namespace rek2
