#include "base/paths.h"
#include "base/settings_ini.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using rek2::normaliseFolder;

TEST(NormaliseFolder, FolderValues)
{
    const QString home = QStringLiteral("/opt/rek2/");
    struct Case
    {
        const char* value;
        bool emptyIsRoot;
        const char* expected;
    } cases[] = {
        {"..\\xml", true, "/opt/rek2/../xml/"}, // relative to the program's folder
        {"../xml", true, "/opt/rek2/../xml/"},  // same with forward slashes
        {"\\xml", true, "/opt/rek2/xml/"},      // leading backslash: below the program's folder
        {"\\xml\\poslano\\", true, "/opt/rek2/xml/poslano/"},
        {"\\\\server\\share\\xml", true, "//server/share/xml/"}, // network path kept
        {"C:\\REK\\XML\\", true, "C:/REK/XML/"},                 // drive letter kept, separator not doubled
        {"/srv/rek2/xml", true, "/srv/rek2/xml/"},               // absolute path of this platform
        {"", true, "/"},                                         // empty at start-up: the root folder
        {"", false, ""},                                         // empty when saving stays empty
    };
    for (const auto& c : cases) {
        EXPECT_EQ(normaliseFolder(QString::fromUtf8(c.value), home, c.emptyIsRoot),
                  QString::fromUtf8(c.expected))
            << c.value;
    }
}

TEST(IniSettings, MissingFileLeavesDefaults)
{
    QTemporaryDir dir;
    rek2::Settings s;
    s.Debug = 7;
    EXPECT_FALSE(rek2::readIniSettings(dir.filePath("rek2.ini"), dir.path() + "/", s));
    EXPECT_EQ(s.Debug, 7);
    EXPECT_TRUE(s.XMLPath.isEmpty());
}

TEST(IniSettings, ReadsTrimsAndCreatesFolders)
{
    QTemporaryDir dir;
    const QString home = dir.path() + "/";
    QFile f(dir.filePath("rek2.ini"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    // Windows-1250 bytes for "Splošno" and "Šef".
    f.write("[Splo\x9Ano]\r\nServerName=ORCL\r\nXMLPath=\\xml\r\nXMLArhiv=..\\arhiv\r\nDebug=2\r\n"
            "OdgovornaOseba=  \x8A"
            "ef  \r\nOdgovornaOsebaTel= 01 234 \r\nSfDogDvcOdt= 'DV1','DV2' \r\nT2S=1\r\n");
    f.close();

    rek2::Settings s;
    ASSERT_TRUE(rek2::readIniSettings(f.fileName(), home, s));
    EXPECT_EQ(s.ServerName, "ORCL");
    EXPECT_EQ(s.XMLPathRaw, "\\xml");
    EXPECT_EQ(s.XMLPath, home + "xml/");
    EXPECT_TRUE(QDir(home + "xml").exists());
    EXPECT_EQ(s.XMLArhiv, home + "../arhiv/");
    EXPECT_TRUE(QDir(home + "../arhiv").exists());
    QDir(home + "../arhiv").removeRecursively();
    EXPECT_EQ(s.Debug, 2); // read as written; only 1 switches the log on
    EXPECT_EQ(s.OdgovornaOseba, QStringLiteral("Šef"));
    EXPECT_EQ(s.OdgovornaOsebaTel, "01 234");
    EXPECT_EQ(s.SfDogDvcOdt, "'DV1','DV2'");
    EXPECT_TRUE(s.T2S);
}

// A folder that is not set (empty, blank, no section "Splošno", a file of
// garbage) stays empty: it is never taken for the root folder.
TEST(IniSettings, FolderNotSetStaysEmpty)
{
    static const char garbage[] = "\x00\x01\xff\xfe garbage";
    const QByteArray files[] = {"[Splošno]\r\nXMLPath=\r\nXMLArhiv=  \r\n", "[Drugo]\r\nXMLPath=\\xml\r\n",
                                QByteArray(garbage, sizeof garbage - 1)};
    for (const QByteArray& bytes : files) {
        SCOPED_TRACE(bytes.toStdString());
        QTemporaryDir dir;
        QFile f(dir.filePath("rek2.ini"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        rek2::Settings s;
        rek2::readIniSettings(f.fileName(), dir.path() + "/", s);
        EXPECT_EQ(s.XMLPath, "");
        EXPECT_EQ(s.XMLArhiv, "");
    }
    EXPECT_TRUE(rek2::folderNotSetMessage("XML pot", "XMLPath").startsWith("XML pot ni nastavljena v "));
    EXPECT_TRUE(rek2::folderNotSetMessage("XML pot", "XMLPath").contains(rek2::iniFilePath()));
}

TEST(IniSettings, DebugThatIsNotANumberIsZero)
{
    QTemporaryDir dir;
    QFile f(dir.filePath("rek2.ini"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Splošno]\nDebug=da\nXMLPath=" + dir.path().toUtf8() + "/ni/tudi/ne\n");
    f.close();
    rek2::Settings s;
    ASSERT_TRUE(rek2::readIniSettings(f.fileName(), dir.path() + "/", s));
    EXPECT_EQ(s.Debug, 0);
    EXPECT_FALSE(s.T2S);
    // Only one level is created; a deeper missing folder stays missing, silently.
    EXPECT_FALSE(QDir(dir.path() + "/ni").exists());
}
