#pragma once
#include <QString>
#include <QStringList>

namespace rek2 {

// The program's four-number file version, as the build stamped it.
QString fileVersion();

} // namespace rek2
