#include "batch/demo_generator.h"
#include "batch/tax_number.h"
#include "run_batch.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using rek2::test::runBatchCommand;

namespace {

QString readAll(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QString::fromUtf8(f.readAll());
}

} // namespace

TEST(TaxNumber, CheckDigitRule)
{
    const struct
    {
        const char* number;
        bool valid;
    } cases[] = {
        {"12345679", true},                       // 8+14+18+20+20+18+14 = 112, 112 mod 11 = 2, 11 - 2 = 9
        {"12345678", false},                      // wrong check digit
        {"10000020", true},                       // 8 + 2*2 = 12, remainder 1: 11 - 1 = 10 gives 0
        {"10000021", false}, {"10000070", false}, // 8 + 7*2 = 22, remainder 0: no check digit exists
        {"10000079", false}, {"02345679", false}, // a tax number never starts with 0
        {"1234567", false},  {"123456790", false}, {"1234567a", false}, {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rek2::isValidTaxNumber(QString::fromLatin1(c.number)), c.valid) << c.number;
    EXPECT_EQ(rek2::taxNumberCheckDigit("1000007"), -1);
}

TEST(BatchInit, CreatesTheSchemaWithInstallationRowsOnly)
{
    QTemporaryDir home;
    const QString db = home.filePath("nova.db");
    const auto r = runBatchCommand({db, "operater", "geslo", "init"}, home.path());
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    {
        QSqlDatabase c = QSqlDatabase::addDatabase("QSQLITE", "init-plain");
        c.setDatabaseName(db);
        ASSERT_TRUE(c.open());
        QSqlQuery q(c);
        ASSERT_TRUE(
            q.exec("SELECT (SELECT COUNT(*) FROM DOG), (SELECT KRT FROM REK2_SIF WHERE SSF = 'TIPBAZE'), "
                   "(SELECT COUNT(*) FROM REK2_SIF WHERE SSF = 'STATUS'), "
                   "(SELECT COUNT(*) FROM REK2_SIF WHERE SSF = 'NAZIV_IZP')"));
        ASSERT_TRUE(q.next());
        EXPECT_EQ(q.value(0).toInt(), 0);
        EXPECT_EQ(q.value(1).toString(), "ORACLE");
        EXPECT_EQ(q.value(2).toInt(), 8);
        EXPECT_EQ(q.value(3).toInt(), 0); // no invented payer in a real installation
        ASSERT_TRUE(q.exec("PRAGMA journal_mode"));
        ASSERT_TRUE(q.next());
        EXPECT_EQ(q.value(0).toString(), "wal");
    }
    QSqlDatabase::removeDatabase("init-plain");
    // Built under another name and renamed: nothing else is left beside it,
    // and only the demo writes an INI file.
    EXPECT_EQ(QDir(home.path()).entryList(QDir::Files), QStringList{"nova.db"});
}

TEST(BatchInit, NeverTouchesAnExistingFile)
{
    QTemporaryDir home;
    const QString db = home.filePath("obstojeca.db");
    {
        QFile f(db);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("podatki registra");
    }
    const auto r = runBatchCommand({db, "operater", "geslo", "init", "--demo"}, home.path());
    EXPECT_NE(r.code, 0);
    EXPECT_TRUE(r.err.contains("že obstaja")) << r.err.toStdString();
    EXPECT_EQ(readAll(db), "podatki registra");
}

TEST(BatchInit, EngineMessageForAPathThatCannotBeCreated)
{
    QTemporaryDir home;
    const QString db = home.filePath("ni/mape/demo.db");
    const auto r = runBatchCommand({db, "operater", "geslo", "init", "--demo"}, home.path());
    EXPECT_EQ(r.code, rek2::batch::kExitFailed);
    EXPECT_EQ(r.err.trimmed(), "unable to open database file");
    EXPECT_FALSE(QFile::exists(db));
}

TEST(BatchInit, WrongArgumentsAreRefusedBeforeAnythingIsWritten)
{
    QTemporaryDir home;
    const QString db = home.filePath("x.db");
    const struct
    {
        QStringList args;
        const char* message;
    } cases[] = {
        {{"init", "--holders", "0"}, "--holders"},
        {{"init", "--demo", "--holders", "tri"}, "--holders"},
        {{"init", "--demo", "--from", "2026-13-01"}, "--from"},
        {{"init", "--demo", "--from", "10.12.2026"}, "--from"},
        {{"init", "--demo", "--days"}, "zahteva vrednost"},
        {{"init", "--demo", "--seed", "-1"}, "--seed"},
        {{"init", "--prepisi"}, "Neznana možnost"},
        {{"init", "--holders", "5"}, "samo z --demo"},
        {{"uvozi"}, "Neznan ukaz"},
    };
    for (const auto& c : cases) {
        const auto r = runBatchCommand(QStringList{db, "u", "g"} + c.args, home.path());
        EXPECT_EQ(r.code, rek2::batch::kExitUsage) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.message))) << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(db));
    }
    const auto tooFew = runBatchCommand({db, "u"}, home.path());
    EXPECT_EQ(tooFew.code, rek2::batch::kExitUsage);
    EXPECT_TRUE(tooFew.err.contains("Uporaba: rek2-batch BAZA UPORABNIK GESLO UKAZ"));
}

TEST(DemoDays, WorkingDaysEndYesterdayOrStartAtFrom)
{
    rek2::batch::DemoOptions o;
    o.today = QDate(2026, 12, 10); // a Thursday
    o.days = 6;
    EXPECT_EQ(rek2::batch::demoPayoutDays(o),
              (QList<QDate>{QDate(2026, 12, 2), QDate(2026, 12, 3), QDate(2026, 12, 4), QDate(2026, 12, 7),
                            QDate(2026, 12, 8), QDate(2026, 12, 9)}));
    o.today = QDate(2026, 12, 7); // a Monday: yesterday was Sunday
    o.days = 1;
    EXPECT_EQ(rek2::batch::demoPayoutDays(o), QList<QDate>{QDate(2026, 12, 4)});
    o.from = QDate(2026, 11, 28); // a Saturday
    o.days = 2;
    EXPECT_EQ(rek2::batch::demoPayoutDays(o), (QList<QDate>{QDate(2026, 11, 30), QDate(2026, 12, 1)}));
}

TEST(BatchInstallation, ReadsTheIniFileAndWritesTheDebugLogThere)
{
    QTemporaryDir home;
    {
        QFile ini(home.filePath("rek2.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[Splošno]\nDebug=1\nSfDogDvcOdt='DVO'\n");
    }
    const auto r = runBatchCommand({home.filePath("x.db"), "u", "g", "init"}, home.path());
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QString log = readAll(home.filePath("Log.txt"));
    EXPECT_TRUE(log.contains("rek2-batch: init START")) << log.toStdString();
    EXPECT_TRUE(log.contains("rek2-batch: init END (0)")) << log.toStdString();

    QTemporaryDir quiet; // no INI file: no log, and the command still runs
    EXPECT_EQ(runBatchCommand({quiet.filePath("x.db"), "u", "g", "init"}, quiet.path()).code, 0);
    EXPECT_FALSE(QFile::exists(quiet.filePath("Log.txt")));
}
