#pragma once
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <gtest/gtest.h>

namespace rek2::test {

// Writes `sheet` (see make_workbook.py) with an independent writer as the
// kind of `out`'s extension: .xlsx openpyxl, .ods odfpy, .xls xlwt, .csv.
inline void makeWorkbook(const QJsonObject& sheet, const QString& out, const QString& encoding = QString())
{
    const QString json = out + QStringLiteral(".json");
    QFile f(json);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QJsonDocument(sheet).toJson());
    f.close();
    QStringList args{QStringLiteral(REK2_TEST_SOURCE_DIR "/tests/import/make_workbook.py"), json, out};
    if (!encoding.isEmpty())
        args << encoding;
    QProcess p;
    // Debian's interpreter, where the writers are installed.
    p.start(QStringLiteral("/usr/bin/python3"), args);
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
}

inline QJsonValue date(const char* iso)
{
    return QJsonObject{{QStringLiteral("date"), QString::fromLatin1(iso)}};
}

} // namespace rek2::test
