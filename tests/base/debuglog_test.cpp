#include "base/debuglog.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(DebugLog, WritesOnlyWhenSwitchIsOne)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Log.txt");
    for (int sw : {0, 2, -1}) {
        rek2::DebugLog log(path, sw);
        log.DebugMessage("nič");
        EXPECT_FALSE(QFile::exists(path)) << sw;
    }
    rek2::DebugLog log(path, 1);
    log.DebugMessage(QStringLiteral("Nabor podatkov.... začetak!"));
    log.DebugMessage(QStringLiteral("TfRek.bNaborClick: vrstic (3)"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    const QRegularExpression re(QStringLiteral(
        "^\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d: Nabor podatkov\\.\\.\\.\\. začetak!\r\n"
        "\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d: TfRek\\.bNaborClick: vrstic \\(3\\)\r\n$"));
    EXPECT_TRUE(re.match(text).hasMatch()) << text.toStdString();
}

TEST(DebugLog, UnwritableLogNeverThrowsAndIsReportedOnce)
{
    QTemporaryDir dir;
    rek2::DebugLog log(dir.filePath("ni/Log.txt"), 1);
    QStringList reports;
    log.setFailureReporter([&](const QString& m) { reports << m; });
    EXPECT_NO_THROW(log.DebugMessage("prva"));
    EXPECT_NO_THROW(log.DebugMessage("druga"));
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports.front().startsWith(QStringLiteral("Dnevnika"))) << reports.front().toStdString();
}
