#include "xmlreturn/report_files.h"

#include "support/scripted_operator.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace rek2;

namespace {
void touch(const QString& path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}
} // namespace

// Both lists show only XML files (either case of the extension), each once
// however often they are refreshed; a missing folder gives an empty list.
TEST(ReportFiles, ListsXmlFilesOfBothFolders)
{
    QTemporaryDir dir;
    const QString unsent = dir.filePath("xml") + '/';
    const QString sent = dir.filePath("arhiv") + '/';
    QDir().mkpath(unsent);
    QDir().mkpath(sent);
    touch(unsent + "a.xml");
    touch(unsent + "B.XML");
    touch(unsent + "c.txt");
    touch(unsent + "d.xml.part");
    touch(sent + "s.xml");

    ReportFiles files(unsent, sent);
    files.RefreshBoth();
    files.RefreshBoth();
    QStringList neposlana = files.neposlana();
    neposlana.sort();
    EXPECT_EQ(neposlana, QStringList({"B.XML", "a.xml"}));
    EXPECT_EQ(files.poslana(), QStringList({"s.xml"}));

    QStringList list{"kept"};
    LoadFilesByMask(list, sent, "*.xml"); // appends, does not clear
    EXPECT_EQ(list, QStringList({"kept", "s.xml"}));

    ReportFiles missing(dir.filePath("none/"), QString());
    missing.RefreshBoth();
    EXPECT_TRUE(missing.neposlana().isEmpty());
    EXPECT_TRUE(missing.poslana().isEmpty());
}

TEST(ReportFiles, SendOnlyTellsTheOperator)
{
    test::ScriptedOperator op;
    ReportFiles::Send(op);
    ASSERT_EQ(op.shown.size(), 1u);
    EXPECT_EQ(op.shown[0].text, "Povezava....");
    EXPECT_EQ(op.shown[0].buttons, QStringList({"V redu!"}));
}
