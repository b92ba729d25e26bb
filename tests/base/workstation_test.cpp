#include "base/workstation.h"

#include <QProcess>
#include <gtest/gtest.h>

namespace {

// What a system command prints, without the line end.
QString commandOutput(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(10000) || p.exitCode() != 0)
        return QString();
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

} // namespace

// The names stamped on archived summaries: the operating system's user in
// upper case and the computer's name, each cut to the 20 characters of its
// column.
TEST(Workstation, NamesAreTheSystemsOwnCutToTheArchiveColumns)
{
    const QString user = rek2::LoginUserName();
    EXPECT_FALSE(user.isEmpty());
    EXPECT_LE(user.size(), 20);
    EXPECT_EQ(user, user.toUpper());
    const QString id = commandOutput(QStringLiteral("id"), {QStringLiteral("-un")});
    ASSERT_FALSE(id.isEmpty());
    EXPECT_EQ(user, id.toUpper().left(20));

    const QString computer = rek2::WorkstationName();
    EXPECT_FALSE(computer.isEmpty());
    EXPECT_LE(computer.size(), 20);
    const QString host = commandOutput(QStringLiteral("hostname"), {});
    ASSERT_FALSE(host.isEmpty());
    EXPECT_EQ(computer, host.left(20));
}
