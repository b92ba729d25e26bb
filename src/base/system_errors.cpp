#include "base/system_errors.h"

#include <cerrno>
#include <cstring>

namespace rek2 {

QString fileErrorReason(const QString& systemText)
{
    struct Reason
    {
        int code;
        const char* text;
    };
    static const Reason reasons[] = {
        {ENOSPC, "na disku ni več prostora"},     {EDQUOT, "presežena je dovoljena poraba diska"},
        {ENOENT, "datoteka ali mapa ne obstaja"}, {EACCES, "ni dovoljenja za dostop"},
        {EPERM, "ni dovoljenja za dostop"},       {EROFS, "disk je samo za branje"},
        {EISDIR, "na tem mestu je mapa"},         {EIO, "napaka naprave pri branju ali pisanju"},
    };
    const QString text = systemText.trimmed();
    for (const Reason& r : reasons)
        if (text == QString::fromLocal8Bit(std::strerror(r.code)))
            return QString::fromUtf8(r.text) + QStringLiteral(" (") + text + QStringLiteral(")");
    return systemText;
}

} // namespace rek2
