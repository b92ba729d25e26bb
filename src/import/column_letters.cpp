#include "import/column_letters.h"

namespace rek2::importxls {

int columnNumber(const QString& letters)
{
    if (letters.size() == 1)
        return letters[0].unicode() - 64;
    if (letters.size() == 2)
        return 26 * letters[0].unicode() + letters[1].unicode() - 1728;
    return 0;
}

QString columnLetters(int column)
{
    QString out;
    while (column > 0) {
        const int rest = (column - 1) % 26;
        out.prepend(QChar(u'A' + rest));
        column = (column - 1) / 26;
    }
    return out;
}

bool normaliseColumnLetters(const QString& in, QString& out)
{
    const QString t = in.trimmed().toUpper();
    if (t.size() > 2)
        return false;
    for (QChar c : t)
        if (c < u'A' || c > u'Z')
            return false;
    out = t;
    return true;
}

} // namespace rek2::importxls
