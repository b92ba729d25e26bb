#include "base/workstation.h"

#include <QSysInfo>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

namespace rek2 {

namespace {
constexpr int kWidth = 20;
}

QString WorkstationName()
{
    return QSysInfo::machineHostName().left(kWidth);
}

QString LoginUserName()
{
    QString user;
#ifdef Q_OS_UNIX
    if (const passwd* pw = getpwuid(geteuid()))
        user = QString::fromLocal8Bit(pw->pw_name);
#endif
    if (user.isEmpty())
        user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("USERNAME");
    return user.toUpper().left(kWidth);
}

} // namespace rek2
