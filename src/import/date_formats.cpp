#include "import/date_formats.h"

#include <cmath>

namespace rek2::importxls {

bool isBuiltinDateFormat(int id)
{
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
           (id >= 50 && id <= 58);
}

bool isDateFormatCode(std::string_view code)
{
    bool day = false, year = false, month = false, hourOrSecond = false;
    for (size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == '"') { // quoted literal
            const auto end = code.find('"', i + 1);
            if (end == std::string_view::npos)
                break;
            i = end;
            continue;
        }
        if (c == '\\' || c == '_' || c == '*') { // escaped or padding character
            ++i;
            continue;
        }
        if (c == '[') { // colour, condition or locale: [Red], [>100], [$-424]
            const auto end = code.find(']', i + 1);
            if (end == std::string_view::npos)
                break;
            i = end;
            continue;
        }
        if (c == ';') // only the first section decides
            break;
        switch (c) {
        case 'd':
        case 'D':
            day = true;
            break;
        case 'y':
        case 'Y':
            year = true;
            break;
        case 'm':
        case 'M':
            month = true;
            break;
        case 'h':
        case 'H':
        case 's':
        case 'S':
            hourOrSecond = true;
            break;
        default:
            break;
        }
    }
    return day || year || (month && !hourOrSecond);
}

QDate serialToDate(const QDate& origin, double serial)
{
    if (!std::isfinite(serial) || serial < -1e7 || serial > 1e7)
        return QDate();
    return origin.addDays(static_cast<qint64>(std::floor(serial)));
}

} // namespace rek2::importxls
