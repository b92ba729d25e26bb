#include "base/cp1250.h"
#include "base/inifile.h"
#include "base/settings_ini.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using rek2::IniFile;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray cp1250(const QString& s)
{
    QByteArray out;
    EXPECT_TRUE(rek2::toWindows1250(s, out));
    return out;
}

} // namespace

TEST(IniFile, Windows1250FileKeepsEncodingCommentsAndLineEndingsOnWrite)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("rek2.ini");
    const QString original =
        QStringLiteral("; nastavitve za Šiško\r\n[Drugo]\r\nXMLPath=ne\r\n\r\n"
                       "[Splošno]\r\nXMLPath = ..\\xml \r\nOdgovornaOseba=Žan Čeh\r\n\r\n"
                       "[Zadnje]\r\nx=1\r\n");
    writeAll(path, cp1250(original));

    IniFile ini(path);
    EXPECT_EQ(ini.encoding(), IniFile::Encoding::Windows1250);
    EXPECT_EQ(ini.value(QStringLiteral("splošno"), QStringLiteral("xmlpath")), QStringLiteral("..\\xml"));
    EXPECT_EQ(ini.value(QStringLiteral("Splošno"), QStringLiteral("OdgovornaOseba")),
              QStringLiteral("Žan Čeh"));

    ASSERT_TRUE(ini.writeValue(QStringLiteral("Splošno"), QStringLiteral("OdgovornaOseba"),
                               QStringLiteral("Ana Šuštar")));
    ASSERT_TRUE(ini.writeValue(QStringLiteral("Splošno"), QStringLiteral("Debug"), QStringLiteral("1")));
    ASSERT_TRUE(ini.writeValue(QStringLiteral("Nova"), QStringLiteral("k"), QStringLiteral("č")));

    const QString expected =
        QStringLiteral("; nastavitve za Šiško\r\n[Drugo]\r\nXMLPath=ne\r\n\r\n"
                       "[Splošno]\r\nXMLPath = ..\\xml \r\nOdgovornaOseba=Ana Šuštar\r\nDebug=1\r\n\r\n"
                       "[Zadnje]\r\nx=1\r\n\r\n[Nova]\r\nk=č\r\n");
    EXPECT_EQ(readAll(path), cp1250(expected));
}

TEST(IniFile, Utf8FileWithBomAndUnixLineEndingsStaysSo)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("rek2.ini");
    writeAll(path, QByteArray("\xEF\xBB\xBF[Splošno]\nServerName=baza\n"));
    IniFile ini(path);
    EXPECT_EQ(ini.encoding(), IniFile::Encoding::Utf8);
    ASSERT_TRUE(
        ini.writeValue(QStringLiteral("Splošno"), QStringLiteral("XMLArhiv"), QStringLiteral("arhiv€")));
    EXPECT_EQ(readAll(path), QByteArray("\xEF\xBB\xBF[Splošno]\nServerName=baza\nXMLArhiv=arhiv€\n"));
}

TEST(IniFile, MissingFileIsCreatedByTheFirstWrite)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("rek2.ini");
    QString error;
    ASSERT_TRUE(rek2::writeIniSetting(path, QStringLiteral("XMLPath"), QStringLiteral("\\xml"), &error))
        << error.toStdString();
    EXPECT_EQ(readAll(path), QByteArray("[Splošno]\r\nXMLPath=\\xml\r\n"));
}

TEST(IniFile, FailedWriteLeavesTheFileAsItWas)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("rek2.ini");
    const QByteArray original = cp1250(QStringLiteral("[Splošno]\r\nOdgovornaOseba=Črt\r\n"));
    writeAll(path, original);
    IniFile ini(path);
    QString error;
    // A character Windows-1250 cannot hold must not silently turn into '?'.
    EXPECT_FALSE(ini.writeValue(QStringLiteral("Splošno"), QStringLiteral("OdgovornaOseba"),
                                QStringLiteral("日本"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readAll(path), original);
    EXPECT_EQ(ini.value(QStringLiteral("Splošno"), QStringLiteral("OdgovornaOseba")), QStringLiteral("Črt"));

    // A file in a folder that does not exist.
    IniFile nowhere(dir.filePath("ni/rek2.ini"));
    EXPECT_FALSE(
        nowhere.writeValue(QStringLiteral("Splošno"), QStringLiteral("Debug"), QStringLiteral("1"), &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("Datoteke"))) << error.toStdString();
}

TEST(Cp1250, RoundTripsEveryDefinedByte)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        if (b != 0x81 && b != 0x83 && b != 0x88 && b != 0x90 && b != 0x98)
            all.append(static_cast<char>(b));
    QByteArray back;
    ASSERT_TRUE(rek2::toWindows1250(rek2::fromWindows1250(all), back));
    EXPECT_EQ(back, all);
    EXPECT_EQ(rek2::fromWindows1250("\x8A\x9A\xC8\xE8\x8E\x9E"), QStringLiteral("ŠšČčŽž"));
}
