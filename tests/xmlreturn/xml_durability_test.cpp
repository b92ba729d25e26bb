// Faults of writing a return's file: a full disk, a failing archive step, a
// crash between the file and the archive, characters XML cannot carry,
// amounts that are not numbers, and a folder that is not set.
#include "xml_run_fixture.h"

#include "base/durable_file.h"
#include "base/workstation.h"
#include "db/error.h"
#include "support/test_engine.h"
#include "xmlreturn/return_journal.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <functional>
#include <utility>

#include <sys/mount.h>
#include <unistd.h>

using namespace rek2;
using namespace rek2::test;

namespace {

const QString kFile103 = QStringLiteral("REK2_KRKG_12_O_103_1901_261130.xml");

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A staged crash: thrown from a hook of the run, it leaves the files and the
// tables exactly as a killed process would (no clean-up runs for it).
struct Crash
{
};

// An operator that runs `once` at the first chance a run gives the window
// to repaint: after the check, before the first file.
struct EventsHook : ScriptedOperator
{
    std::function<void()> once;
    void ProcessEvents() override
    {
        if (auto f = std::exchange(once, nullptr))
            f();
    }
};

} // namespace

class XmlDurability : public XmlRunFixture
{
protected:
    void TearDown() override { setDurableFileWriteLimitForTesting(-1); }

    // Summary 103 is in work with unmarked links, and not in history.
    void expectInWork()
    {
        EXPECT_EQ(scalar("SELECT COUNT(*) FROM REK2_ZBIR WHERE ID_REK2_ZBIR = 103").toInt(), 1);
        EXPECT_EQ(scalar("SELECT COUNT(*) FROM REK2_ZBIR_HST WHERE ID_REK2_ZBIR = 103").toInt(), 0);
        EXPECT_EQ(scalar("SELECT COUNT(*) FROM REK2_ANAL WHERE ID_REK2_ZBIR = 103").toInt(), 1);
        EXPECT_TRUE(scalar("SELECT XML_FILE FROM REK2_DOG WHERE ID_REK2_ANAL = 3001").isNull());
    }
    // Every return in history has its whole file; every file is archived.
    void expectFolderMatchesHistory()
    {
        for (const QString& name : folderEntries()) {
            EXPECT_FALSE(journal::isTemporaryName(name)) << name.toStdString();
            const QByteArray bytes = readFile(xmlFolder() + name);
            EXPECT_TRUE(bytes.endsWith("</Envelope>\r\n")) << name.toStdString();
        }
        const bool archived =
            scalar("SELECT COUNT(*) FROM REK2_ZBIR_HST WHERE ID_REK2_ZBIR = 103").toInt() == 1;
        EXPECT_EQ(folderEntries().contains(kFile103), archived);
    }
};

// A disk that fills up while the file is written: the write that does not
// fit fails the return, nothing of it stays on disk and it stays in work.
TEST_F(XmlDurability, FullDiskLeavesTheReturnInWork)
{
    for (const qint64 room : {0, 100, 2000}) {
        SCOPED_TRACE(room);
        setDurableFileWriteLimitForTesting(room);
        openGrids();
        try {
            runXml({103});
            ADD_FAILURE() << "a cut-short file was taken as written";
        } catch (const XmlReturnError& e) {
            EXPECT_TRUE(
                e.message().contains(QStringLiteral("ni mogoče zapisati: na disku ni več prostora (")))
                << e.message().toStdString();
        }
        EXPECT_EQ(folderEntries(), QStringList());
        expectInWork();
    }
}

// The rows are checked first and read again while the file is written: a
// row another workstation spoiled in between makes the database fail in the
// middle of the file. Its message is shown, no part of the file stays and
// the return stays in work.
TEST_F(XmlDurability, DatabaseErrorWhileWritingLeavesTheReturnInWork)
{
    REK2_SQLITE_ONLY(); // a numeric column on the server refuses the text itself
    openGrids();
    EventsHook hook;
    hook.once = [&] {
        session_.executeDirect("UPDATE REK2_ANAL SET BRUTO = 'ni znesek' WHERE ID_REK2_ANAL = 3001");
    };
    ctx_.op = &hook;
    try {
        runXml({103});
        ADD_FAILURE() << "a return with an unreadable row was taken as written";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("'ni znesek' is not a valid number"));
    }
    EXPECT_EQ(folderEntries(), QStringList());
    expectInWork();
}

// Two workstations writing the same return: when the other one has moved it
// to history since this one read it, this one's file goes and nothing is
// recorded twice.
TEST_F(XmlDurability, ReturnWrittenMeanwhileByAnotherWorkstationIsNotWrittenAgain)
{
    openGrids();
    EventsHook hook;
    hook.once = [&] {
        db_.exec("INSERT INTO REK2_ANAL_HST SELECT * FROM REK2_ANAL WHERE ID_REK2_ZBIR = 103");
        db_.exec("DELETE FROM REK2_ANAL WHERE ID_REK2_ZBIR = 103");
        db_.exec("DELETE FROM REK2_ZBIR WHERE ID_REK2_ZBIR = 103");
    };
    ctx_.op = &hook;
    try {
        runXml({103});
        ADD_FAILURE() << "written a second time";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().startsWith("Zbirnega zapisa 103 medtem ni več med pripravljenimi"))
            << e.message().toStdString();
    }
    EXPECT_EQ(folderEntries(), QStringList());
    EXPECT_EQ(
        scalar("SELECT COUNT(*) FROM REK2_ANAL_HST WHERE ID_REK2_ZBIR = 103").toInt(),
        scalar("SELECT COUNT(DISTINCT ID_REK2_ANAL) FROM REK2_ANAL_HST WHERE ID_REK2_ZBIR = 103").toInt());
}

// The same on a real small filesystem (needs the right to mount; skipped
// otherwise): the file system, not our code, says the disk is full.
TEST_F(XmlDurability, FullTmpfsLeavesTheReturnInWork)
{
    const QString mountPoint = out_.filePath(QStringLiteral("small"));
    ASSERT_TRUE(QDir().mkpath(mountPoint));
    if (::mount("tmpfs", QFile::encodeName(mountPoint).constData(), "tmpfs", 0, "size=12k") != 0)
        GTEST_SKIP() << "no right to mount a small file system here";
    struct Unmount
    {
        QString at;
        ~Unmount() { ::umount(QFile::encodeName(at).constData()); }
    } unmount{mountPoint};
    {
        // Leave about one kilobyte: less than the return and less than one
        // write buffer.
        QFile filler(mountPoint + QStringLiteral("/filler"));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        filler.write(QByteArray(11 * 1024, 'x'));
    }
    ctx_.settings.XMLPath = mountPoint + QLatin1Char('/');
    openGrids();
    try {
        runXml({103});
        ADD_FAILURE() << "a return written to a full disk";
    } catch (const XmlReturnError& e) {
        // The operator is told why, in the words of the file system's error.
        EXPECT_TRUE(
            e.message().contains(QStringLiteral("na disku ni več prostora (No space left on device)")))
            << e.message().toStdString();
    }
    EXPECT_EQ(QDir(mountPoint).entryList(QDir::Files), QStringList({"filler"}));
    expectInWork();
}

// A failing archive step removes only the new file: a file of the same name
// from an earlier write (a return taken back and written again) stays as it was.
TEST_F(XmlDurability, FailedArchiveKeepsTheOlderFileOfTheSameName)
{
    {
        QFile old(xmlFolder() + kFile103);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("earlier return");
    }
    for (const QString& sql :
         test::failingTrigger("FAIL_ARCHIVE", "INSERT", "REK2_ZBIR_HST", {}, "disk I/O error"))
        db_.exec(sql);
    openGrids();
    try {
        runXml({103});
        ADD_FAILURE() << "archive failure not reported";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), "Napaka diska pri branju ali pisanju baze podatkov. (disk I/O error)");
    }
    EXPECT_EQ(readFile(xmlFolder() + kFile103), "earlier return");
    EXPECT_EQ(folderEntries(), QStringList({kFile103}));
    expectInWork();
}

// A crash after the file is complete but before its archive step, and one
// after the archive step but before the rename: the next command that opens
// the database finishes the second and removes the first, so the folder of
// unsent returns matches history, and a later run writes the return once.
TEST_F(XmlDurability, CrashBetweenFileAndArchiveIsFinishedByTheNextCommand)
{
    for (const bool afterArchive : {false, true}) {
        SCOPED_TRACE(afterArchive ? "after the archive step" : "before the archive step");
        openGrids();
        XmlReturnRun run(ctx_);
        ctx_.selectedZbirIds = {103};
        run.today = QDate(2026, 12, 10);
        (afterArchive ? run.afterArchived : run.afterFileWritten) = [](int) { throw Crash(); };
        EXPECT_THROW(run.run(), Crash);
        // Left behind: only a temporary file, never listed as a return.
        EXPECT_EQ(folderEntries(), QStringList({kFile103 + QStringLiteral(".part")}));

        const QStringList done = journal::finishInterruptedReturns(session_, xmlFolder());
        EXPECT_EQ(done.size(), 1);
        expectFolderMatchesHistory();
        if (!afterArchive) {
            expectInWork();
            openGrids();
            EXPECT_EQ(runXml({103}).files, QStringList({kFile103}));
        }
        EXPECT_EQ(folderEntries(), QStringList({kFile103}));
        EXPECT_EQ(scalar("SELECT COUNT(*) FROM REK2_ZBIR_HST WHERE ID_REK2_ZBIR = 103").toInt(), 1);
        EXPECT_EQ(scalar("SELECT COUNT(*) FROM REK2_XML_JOURNAL").toInt(), 0);
        EXPECT_TRUE(journal::finishInterruptedReturns(session_, xmlFolder()).isEmpty());
        if (!afterArchive) {
            // Back to the start for the second case.
            db_.exec("INSERT INTO REK2_ZBIR SELECT ID_REK2_ZBIR, DURS_ID_DOK, CORRECTIONFORDOCUMENT, "
                     "CORRECTIONFORANALITICALDATA, CORRECTIONTYPE, NAZIV, NASLOV, POOB_DVS, SIF_VRSTE_DOH, "
                     "MESEC_LETO, DATUM_IZP, DATUM_PLC_DVK, ZAPST_DEL, STZAP_REZ, STZAP_NEREZ, NETO, DOH, "
                     "DOH_NEREZ, DOH_BREZ_DAVODT, DAV_OSN, DAV_ODT, STOPNJA, DAV_TUJ, DAV_ZNZ_STP_LES, "
                     "DAV_ZNZ_STP, SKUPAJ, VPL_PODRACUN, SFVP, SFKPN, DAV_ZNZ_OSN FROM REK2_ZBIR_HST WHERE "
                     "ID_REK2_ZBIR = 103");
            db_.exec("INSERT INTO REK2_ANAL SELECT * FROM REK2_ANAL_HST WHERE ID_REK2_ZBIR = 103");
            db_.exec("DELETE FROM REK2_ZBIR_HST WHERE ID_REK2_ZBIR = 103");
            db_.exec("DELETE FROM REK2_ANAL_HST WHERE ID_REK2_ZBIR = 103");
            db_.exec("UPDATE REK2_DOG SET XML_FILE = NULL WHERE ID_REK2_ANAL = 3001");
            QFile::remove(xmlFolder() + kFile103);
        }
    }
}

// Tabs and line breaks in names become blanks (the file stays one element
// per line and well-formed); a character XML 1.0 cannot carry stops the run
// before any file, naming the row.
TEST_F(XmlDurability, ControlCharactersInNames)
{
    db_.exec("UPDATE REK2_ANAL SET IME = 'Mi' || " + test::charCodes({9}) + " || 'ha', PRIIMEK = 'Zu' || " +
             test::charCodes({13, 10}) + " || 'pan' WHERE ID_REK2_ANAL = 3001");
    openGrids();
    ASSERT_EQ(runXml({103}).files, QStringList({kFile103}));
    const QByteArray bytes = readFile(xmlFolder() + kFile103);
    EXPECT_TRUE(bytes.contains("<A003i>Mi ha</A003i>"));
    EXPECT_TRUE(bytes.contains("<A003p>Zu  pan</A003p>"));
    EXPECT_EQ(bytes.count("\n"), bytes.count("\r\n"));
    const QString xmllint = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
    ASSERT_FALSE(xmllint.isEmpty());
    EXPECT_EQ(QProcess::execute(xmllint, {QStringLiteral("--noout"), xmlFolder() + kFile103}), 0);

    db_.exec("UPDATE REK2_ANAL SET NAZIV = 'Kovač' || " + test::charCodes({1}) +
             " || ' d.o.o.', IME = NULL, PRIIMEK = NULL WHERE "
             "ID_REK2_ANAL = 1002");
    openGrids();
    try {
        runXml({101});
        ADD_FAILURE() << "a file XML cannot carry was written";
    } catch (const XmlReturnError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("Neveljaven znak v podatku NAZIV za osebo Kovač")))
            << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QStringLiteral("(zbirni 101)")));
    }
    EXPECT_EQ(folderEntries(), QStringList({kFile103}));
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM REK2_ZBIR WHERE ID_REK2_ZBIR = 101").toInt(), 1);
}

// An amount that is not a finite number, or too large for the form's field,
// stops the run before any file, naming the row.
TEST_F(XmlDurability, AmountsThatAreNotFiniteNumbers)
{
    const struct
    {
        const char* update;
        const char* expected;
    } cases[] = {
        {"UPDATE REK2_ANAL SET BRUTO = %INF% WHERE ID_REK2_ANAL = 3001",
         "Neveljaven znesek BRUTO (inf) za osebo Miha Zupan (zbirni 103)"},
        {"UPDATE REK2_ANAL SET DAV_ODT_OBR = -1e15 WHERE ID_REK2_ANAL = 3001",
         "Neveljaven znesek DAV_ODT_OBR (-1e+15) za osebo Miha Zupan (zbirni 103)"},
        {"UPDATE REK2_ZBIR SET DOH = %INF% WHERE ID_REK2_ZBIR = 103",
         "Neveljaven znesek DOH (inf) zbirnega zapisa (zbirni 103)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.update);
        db_.exec("UPDATE REK2_ANAL SET BRUTO = 100, DAV_ODT_OBR = 20 WHERE ID_REK2_ANAL = 3001");
        db_.exec("UPDATE REK2_ZBIR SET DOH = 100 WHERE ID_REK2_ZBIR = 103");
        db_.exec(QString::fromLatin1(c.update).replace("%INF%", test::infinity()));
        openGrids();
        try {
            runXml({103});
            ADD_FAILURE() << "written";
        } catch (const XmlReturnError& e) {
            EXPECT_EQ(e.message(), QString::fromUtf8(c.expected));
        }
        EXPECT_EQ(folderEntries(), QStringList());
        expectInWork();
    }
}

// Without a folder of unsent returns nothing is written anywhere.
TEST_F(XmlDurability, FolderNotSetIsRefused)
{
    ctx_.settings.XMLPath.clear();
    openGrids();
    try {
        runXml({103});
        ADD_FAILURE() << "written without a folder";
    } catch (const XmlReturnError& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("XML pot ni nastavljena v ")))
            << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QStringLiteral("rek2.ini")));
        EXPECT_TRUE(e.message().contains(QStringLiteral("XMLPath")));
    }
    expectInWork();
}

// The archive stamp takes the user from the operating system, not from the
// environment a scheduler may not set, and the computer name cut as stored.
TEST_F(XmlDurability, ArchiveStampWithoutUserEnvironment)
{
    const QByteArray names[] = {"USER", "USERNAME", "LOGNAME"};
    QList<QByteArray> saved;
    for (const QByteArray& n : names) {
        saved << qgetenv(n.constData());
        qunsetenv(n.constData());
    }
    XmlReturnRun run(ctx_);
    for (int i = 0; i < 3; ++i)
        if (!saved[i].isNull())
            qputenv(names[i].constData(), saved[i]);
    EXPECT_FALSE(run.userName.isEmpty());
    EXPECT_EQ(run.userName, LoginUserName());
    EXPECT_EQ(run.computerName, WorkstationName());
    EXPECT_LE(run.computerName.size(), 20);
}
