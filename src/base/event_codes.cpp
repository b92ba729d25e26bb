#include "base/event_codes.h"

#include <QRegularExpression>

namespace rek2 {

bool isValidEventCodeList(const QString& codes)
{
    static const QRegularExpression item(QStringLiteral(R"(^\s*(\d+|'[^']+')\s*$)"));
    if (codes.trimmed().isEmpty())
        return false;
    const auto parts = codes.split(QLatin1Char(','));
    for (const auto& part : parts)
        if (!item.match(part).hasMatch())
            return false;
    return true;
}

QString eventCodesMessage()
{
    return QStringLiteral("Vnesite šifre dogodkov za davčni odtegljaj!");
}

} // namespace rek2
