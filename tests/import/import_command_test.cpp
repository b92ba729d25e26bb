// rek2-batch ... import on the demo registry, and the XML returns written
// from what it stored, checked by xmllint.
#include "batch/batch.h"
#include "batch/import_command.h"
#include "batch/run_batch.h"
#include "batch/xml_command.h"
#include "workbooks.h"

#include <QDir>
#include <QJsonArray>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

using namespace rek2;
using rek2::test::makeWorkbook;

namespace {

struct CommandRun
{
    int code = -1;
    QString out, err;
};

class ImportCommand : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const auto r =
            test::runBatchCommand({home_.filePath("demo.db"), "operater", "geslo", "init", "--demo",
                                   "--holders", "40", "--days", "2", "--from", "2026-11-23", "--seed", "3"},
                                  home_.path());
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "import-command");
        db.setDatabaseName(home_.filePath("demo.db"));
        ASSERT_TRUE(db.open());
        day_ = QDate::fromString(scalar("SELECT MAX(DAN) FROM DOG").toString(), Qt::ISODate);
        ASSERT_TRUE(day_.isValid());
        QDir(home_.path()).mkdir("xml"); // created at start by the program
        QSqlQuery q(db);
        ASSERT_TRUE(
            q.exec("SELECT K.SFKPN, V.KRT FROM KPN K JOIN SFVP V ON V.SFVP = K.SFVP ORDER BY K.SFKPN"));
        ASSERT_TRUE(q.next());
        coupon_ = q.value(0).toInt();
        security_ = q.value(1).toString();
    }
    void TearDown() override
    {
        QSqlDatabase::database("import-command").close();
        QSqlDatabase::removeDatabase("import-command");
    }

    QVariant scalar(const QString& sql)
    {
        QSqlQuery q(QSqlDatabase::database("import-command"));
        EXPECT_TRUE(q.exec(sql)) << sql.toStdString();
        return q.next() ? q.value(0) : QVariant();
    }

    // The demo's mapping: data from row 2, columns A to R, first name and
    // surname in columns G and H.
    QString sheet(const QString& name, int rows, const QDate& day, bool withTaxNumbers = true)
    {
        QJsonArray all{QJsonArray{"Vrsta", "Datum izplačila"}};
        for (int i = 0; i < rows; ++i)
            all.append(QJsonArray{1901, test::date(day.toString(Qt::ISODate).toLatin1().constData()),
                                  QJsonValue(), withTaxNumbers ? QJsonValue(90000001 + i) : QJsonValue(),
                                  QJsonValue(), QJsonValue(), QString("Ime%1").arg(i), "Uvožen", "R",
                                  QJsonValue(), 0, "5400", 100 + i, 20, 20, QJsonValue(), coupon_,
                                  security_});
        const QString path = home_.filePath(name);
        makeWorkbook(QJsonObject{{"rows", all}}, path);
        return path;
    }

    CommandRun run(int (*command)(batch::BatchContext&, const QStringList&), const QStringList& args)
    {
        CommandRun r;
        QTextStream out(&r.out), err(&r.err);
        batch::BatchContext b;
        b.database = home_.filePath("demo.db");
        b.installationFolder = home_.path() + '/';
        b.settings.XMLPath = home_.filePath("xml") + '/';
        b.out = &out;
        b.err = &err;
        r.code = command(b, args);
        out.flush();
        err.flush();
        return r;
    }

    int imported() { return scalar("SELECT COUNT(*) FROM REK2_ANAL WHERE PRIIMEK = 'Uvožen'").toInt(); }

    QTemporaryDir home_;
    QDate day_;
    int coupon_ = 0;
    QString security_;
};

} // namespace

// Without --yes nothing is stored and the plan is printed; with --yes the
// rows, then the summaries; the XML run writes them and xmllint accepts
// every file.
TEST_F(ImportCommand, StoresTheDaysRowsAndTheXmlRunWritesThem)
{
    const QString file = sheet("dan.xlsx", 3, day_);
    const QString dayArg = day_.toString(Qt::ISODate);
    CommandRun r = run(batch::runImportCommand, {file, "--day", dayArg});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(
        r.out,
        QString("Import bi shranil 3 vrstic (vrstice 2 do 4) na dan %1. Za shranjevanje dodajte --yes.\n")
            .arg(day_.toString("dd.MM.yyyy")));
    EXPECT_EQ(imported(), 0);

    r = run(batch::runImportCommand, {file, "--day", dayArg, "--yes"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 5) << r.out.toStdString();
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(lines[i].endsWith(QString("\t%1\tIme%2 Uvožen").arg(i + 2).arg(i)))
            << lines[i].toStdString();
    EXPECT_TRUE(lines[3].startsWith("ID_REK2_ZBIR\tSFVP\tSTKPN\t"));
    EXPECT_TRUE(r.out.contains(QString("\t%1\t").arg(security_)));
    EXPECT_EQ(imported(), 3);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM REK2_ANAL WHERE PRIIMEK = 'Uvožen' AND ID_REK2_ZBIR > 0").toInt(),
              3);

    r = run(batch::runXmlCommand, {"--from", dayArg, "--all"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList files = QDir(home_.filePath("xml")).entryList({"*.xml"}, QDir::Files);
    ASSERT_FALSE(files.isEmpty()) << r.out.toStdString() << r.err.toStdString();
    bool ours = false;
    for (const QString& f : files) {
        QProcess lint;
        lint.start("xmllint", {"--noout", home_.filePath("xml/" + f)});
        ASSERT_TRUE(lint.waitForFinished(30000));
        EXPECT_EQ(lint.exitCode(), 0) << f.toStdString() << lint.readAllStandardError().toStdString();
        QFile x(home_.filePath("xml/" + f));
        ASSERT_TRUE(x.open(QIODevice::ReadOnly));
        ours = ours || x.readAll().contains("90000001");
    }
    EXPECT_TRUE(ours);
}

TEST_F(ImportCommand, ExitCodes)
{
    const QString dayArg = day_.toString(Qt::ISODate);
    // Rows with findings are stored and listed: exit 4.
    CommandRun r =
        run(batch::runImportCommand, {sheet("brez.ods", 2, day_, false), "--day", dayArg, "--yes"});
    EXPECT_EQ(r.code, 4) << r.err.toStdString();
    EXPECT_EQ(r.out.count(" manjka davčna ali identifikacijska številka!"), 2) << r.out.toStdString();
    EXPECT_EQ(imported(), 2);

    // Another day than the sheet's, an unreadable file: exit 1, nothing stored.
    r = run(batch::runImportCommand, {sheet("drug.xls", 2, day_.addDays(-1)), "--day", dayArg, "--yes"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("ne ustreza izbranemu dnevu")) << r.err.toStdString();
    QFile junk(home_.filePath("junk.xlsx"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("to ni preglednica");
    junk.close();
    r = run(batch::runImportCommand, {junk.fileName(), "--day", dayArg, "--yes"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("ni preglednica")) << r.err.toStdString();
    EXPECT_EQ(imported(), 2);

    EXPECT_EQ(run(batch::runImportCommand, {"--day", dayArg}).code, batch::kExitUsage);
    EXPECT_EQ(run(batch::runImportCommand, {junk.fileName(), "--day", "1.1.2026"}).code, batch::kExitUsage);
}
