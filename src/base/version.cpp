#include "base/version.h"
#include "base/version_info.h"

namespace rek2 {

QString fileVersion()
{
    return QStringLiteral(REK2_FILE_VERSION);
}

} // namespace rek2
