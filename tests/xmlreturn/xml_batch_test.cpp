#include "xml_run_fixture.h"

#include "batch/batch.h"
#include "batch/xml_command.h"

#include <QDir>

using namespace rek2;
using namespace rek2::test;

namespace {

struct BatchRun
{
    int code = -1;
    QString out, err;
};

} // namespace

class XmlBatch : public XmlRunFixture
{
protected:
    BatchRun run(int (*command)(batch::BatchContext&, const QStringList&), const QStringList& args)
    {
        BatchRun r;
        QTextStream out(&r.out), err(&r.err);
        batch::BatchContext b;
        b.database = db_.path();
        b.settings.XMLPath = xmlFolder();
        b.out = &out;
        b.err = &err;
        r.code = command(b, args);
        out.flush();
        err.flush();
        return r;
    }
};

// The summaries of the period's pending rows are the ones written; each file
// and each warning is one line; history then lists what was archived.
TEST_F(XmlBatch, WritesThePeriodsReturnsAndListsHistory)
{
    db_.exec("UPDATE REK2_ZBIR SET CORRECTIONFORDOCUMENT = NULL WHERE ID_REK2_ZBIR = 101");
    BatchRun r = run(batch::runXmlCommand, {"--from", "2026-11-30", "102"});
    EXPECT_EQ(r.code, batch::kExitFailed); // 102's rows lie in September
    EXPECT_TRUE(r.err.contains("Zbirni 102 ni med zbirnimi zapisi obdobja.")) << r.err.toStdString();

    r = run(batch::runXmlCommand, {"--from", "2026-11-30", "--all"});
    EXPECT_EQ(r.code, batch::kExitOk) << r.err.toStdString();
    EXPECT_EQ(r.out,
              "REK2_KRKG_12_O_103_1901_261130.xml\n"
              "Za dokument ne obstaja EDP številka originala, prosim vnesite EPD številka v originalni "
              "dokument!\n");
    EXPECT_EQ(QDir(xmlFolder()).entryList(QDir::Files), QStringList({"REK2_KRKG_12_O_103_1901_261130.xml"}));

    r = run(batch::runHistoryCommand, {"--from", "2026-11-01", "--to", "2026-11-30"});
    EXPECT_EQ(r.code, batch::kExitOk);
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("ID_REK2_ZBIR\tSFVP\tSTKPN\t"));
    EXPECT_TRUE(lines[0].endsWith("\tSKUPAJ\tDURS_ID_DOK\tCORRECTIONFORDOCUMENT\tCAS\tUSR\tCOMPUTER\tSUPERSEDED"));
    EXPECT_TRUE(lines[1].startsWith("103\tKRKG\t12\tO\t1901\t2026-11-30\t\t1\t1\t0\t80.00\t"));
}

// A collection of another period dropped the summary of a pending row: xml
// groups the period anew, as Show does, and writes its return; with nothing
// pending it says so.
TEST_F(XmlBatch, PendingRowsWithoutTheirSummaryAreGroupedAndWritten)
{
    db_.exec("UPDATE REK2_ANAL SET DATUM_IZP_DIV = '2026-11-29' WHERE ID_REK2_ANAL = 3001");
    db_.exec("DELETE FROM REK2_ZBIR WHERE ID_REK2_ZBIR = 103");
    BatchRun r = run(batch::runXmlCommand, {"--from", "2026-11-29", "--all"});
    EXPECT_EQ(r.code, batch::kExitOk) << r.err.toStdString();
    const QStringList files = QDir(xmlFolder()).entryList(QDir::Files);
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(files[0].startsWith("REK2_KRKG_12_O_")) << files[0].toStdString();
    EXPECT_TRUE(files[0].endsWith("_1901_261129.xml")) << files[0].toStdString();
    EXPECT_EQ(r.out, files[0] + "\n");
    EXPECT_EQ(scalar("SELECT DOH FROM REK2_ZBIR_HST WHERE DATUM_IZP = '2026-11-29'").toDouble(), 100.0);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM REK2_ANAL WHERE ID_REK2_ANAL = 3001").toInt(), 0);

    r = run(batch::runXmlCommand, {"--from", "2026-11-29", "--all"});
    EXPECT_EQ(r.code, batch::kExitOk);
    EXPECT_EQ(r.out, "Za obdobje od 29.11.2026 do 29.11.2026 ni zbirnih zapisov za pošiljanje.\n");
}

TEST_F(XmlBatch, BadArguments)
{
    const struct
    {
        QStringList args;
        const char* message;
    } cases[] = {
        {{"--all"}, "Manjka možnost --from."},
        {{"--from", "2026-11-30"}, "Navedite --all ali identifikatorje zbirnih zapisov."},
        {{"--from", "2026-11-30", "--all", "101"}, "Navedite --all ali identifikatorje zbirnih zapisov."},
        {{"--from", "30.11.2026", "--all"}, "Neveljaven datum za --from: 30.11.2026 (oblika LLLL-MM-DD)."},
        {{"--from", "2026-11-30", "x101"}, "Neznana možnost: x101"},
    };
    for (const auto& c : cases) {
        const BatchRun r = run(batch::runXmlCommand, c.args);
        EXPECT_EQ(r.code, batch::kExitUsage) << c.args.join(' ').toStdString();
        EXPECT_EQ(r.err.trimmed(), QString::fromUtf8(c.message)) << c.args.join(' ').toStdString();
        EXPECT_TRUE(folderEntries().isEmpty());
    }
}
