#include "import/names.h"

#include <QStringList>

namespace rek2::importxls {

QString BrezRimskogNaKoncu(const QString& text)
{
    static const QStringList numerals = {QStringLiteral("I"),   QStringLiteral("II"),   QStringLiteral("III"),
                                         QStringLiteral("IV"),  QStringLiteral("V"),    QStringLiteral("VI"),
                                         QStringLiteral("VII"), QStringLiteral("VIII"), QStringLiteral("IX"),
                                         QStringLiteral("X")};
    const qsizetype blank = text.lastIndexOf(u' ');
    if (blank < 0)
        return text;
    QString last = text.mid(blank + 1);
    if (last.endsWith(u'.'))
        last.chop(1);
    if (!numerals.contains(last)) // case-sensitive: "iii" and "IIIa" stay
        return text;
    return text.left(blank + 1);
}

SplitName ObrniImePriimek(const QString& fullName)
{
    const QString name = fullName.trimmed();
    const QStringList words = name.split(u' ');
    SplitName out;
    switch (words.size()) {
    case 1:
        out.naziv = name;
        return out;
    case 2:
        out.priimek = words[0];
        out.ime = words[1];
        break;
    case 3:
        out.priimek = words[0] + u' ' + words[1];
        out.ime = words[2];
        break;
    default:
        out.priimek = words[0] + u' ' + words[1];
        out.ime = words.mid(2).join(u' ');
        break;
    }
    out.naziv = out.ime + u' ' + out.priimek;
    return out;
}

} // namespace rek2::importxls
