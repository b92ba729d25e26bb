#include "base/version.h"

#include <QStringList>
#include <gtest/gtest.h>

// The version shown in the caption and the log is the project's version of
// the build, always in four numbers.
TEST(Version, IsTheBuildsProjectVersionInFourNumbers)
{
    QStringList expected = QStringLiteral(REK2_PROJECT_VERSION).split(QLatin1Char('.'));
    while (expected.size() < 4)
        expected << QStringLiteral("0");
    EXPECT_EQ(rek2::fileVersion(), expected.join(QLatin1Char('.')));
    for (const QString& part : rek2::fileVersion().split(QLatin1Char('.'))) {
        bool number = false;
        part.toUInt(&number);
        EXPECT_TRUE(number) << part.toStdString();
    }
}
