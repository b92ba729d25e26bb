#include "xml_run_fixture.h"

#include "db/error.h"
#include "db/query.h"
#include "db/transaction.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>

using namespace rek2;
using namespace rek2::test;

namespace {

const QString kFile101 = QStringLiteral("REK2_KRKG_12_S_101_1901_261130.xml");
const QString kFile102 = QStringLiteral("REK2_A-BC_0_X_102_1902_260901_260905.xml");

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing " + path.toUtf8() + ">");
}

QByteArray golden(const QString& name)
{
    return readAll(QStringLiteral(REK2_XML_GOLDEN_DIR "/") + name);
}

} // namespace

// Two returns written byte for byte as expected, moved to history with the
// determined type, their links marked, nothing else touched.
TEST_F(XmlRunFixture, WritesGoldenFilesAndMovesReturnsToHistory)
{
    openGrids();
    const XmlRunResult r = runXml({101, 102});

    EXPECT_EQ(r.files, QStringList({kFile101, kFile102}));
    EXPECT_EQ(op_.progressLog, QStringList({"0/2", "1/2", "2/2", "0/0"}));
    EXPECT_TRUE(r.warnings.isEmpty()) << r.warnings.join('\n').toStdString();
    EXPECT_EQ(readAll(xmlFolder() + kFile101), golden(kFile101));
    EXPECT_EQ(readAll(xmlFolder() + kFile102), golden(kFile102));
    EXPECT_EQ(folderEntries(), QStringList({kFile102, kFile101}));

    // History: the summaries with their stamps, every row of them (also the
    // one reported earlier); the correction keeps 'X' in its name only.
    EXPECT_EQ(scalar("SELECT CORRECTIONTYPE FROM REK2_ZBIR_HST WHERE ID_REK2_ZBIR = 102").toString(), "A");
    EXPECT_EQ(scalar("SELECT CORRECTIONTYPE FROM REK2_ZBIR_HST WHERE ID_REK2_ZBIR = 101").toString(), "S");
    EXPECT_EQ(scalar("SELECT USR || '/' || COMPUTER FROM REK2_ZBIR_HST WHERE ID_REK2_ZBIR = 101").toString(),
              "TESTER/WS1");
    EXPECT_EQ(scalar("SELECT CAS FROM REK2_ZBIR_HST WHERE ID_REK2_ZBIR = 102").toDate(),
              QDate::currentDate());
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM REK2_ANAL_HST").toInt(), 6);
    EXPECT_EQ(scalar("SELECT GROUP_CONCAT(ID_REK2_ZBIR) FROM REK2_ZBIR").toString(), "103");
    EXPECT_EQ(scalar("SELECT GROUP_CONCAT(ID_REK2_ANAL) FROM REK2_ANAL").toString(), "3001");

    // Links: the file name on the pending ones, the earlier file kept.
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM REK2_DOG WHERE XML_FILE = '" + kFile101 + "'").toInt(), 3);
    EXPECT_EQ(scalar("SELECT XML_FILE FROM REK2_DOG WHERE ID_REK2_ANAL = 1005").toString(), "REK2_OLD.xml");
    EXPECT_EQ(scalar("SELECT XML_FILE FROM REK2_DOG WHERE ID_REK2_ANAL = 2001").toString(), kFile102);
    EXPECT_TRUE(scalar("SELECT XML_FILE FROM REK2_DOG WHERE ID_REK2_ANAL = 3001").isNull());

    EXPECT_FALSE(ctx_.odsNabor.Active());
    EXPECT_FALSE(ctx_.odsREK2_Zbir.Active());
    EXPECT_EQ(op_.busyLog, QStringList({"show:Generiranje XML-ja.....", "hide"}));

    const QString log = logText();
    for (const char* line :
         {"TfRek.bXMLClick: Zbirni 101 selectan!", "TfRek.bXMLClick: Zbirni 102 selectan!",
          "TfRek.bXMLClick: Analitika za Zbirni 101 1901 Dan izp.:30.11.2026 Dan plač. davka: Šifra "
          "kupona:501",
          "TfRek.bXMLClick: Kreiran xml file.", "TfRek.bXMLClick: REK2_DOG.XML_FILE update-an.",
          "TfRek.bXMLClick: Kopirano v HST Analitike:5", "TfRek.bXMLClick: Kopirano v HST zbirnih:1",
          "TfRek.bXMLClick: Zbrisano analitike:5", "TfRek.bXMLClick: Zbrisano zbirno:1"})
        EXPECT_TRUE(log.contains(QString::fromUtf8(line))) << line;
    EXPECT_FALSE(log.contains("Zbirni 103 selectan!"));
}

// The history copy is checked column by column against the working rows it
// copies. Summary 103 and its row get a value of their own in every column,
// so that two columns swapped in the copy cannot go unseen.
TEST_F(XmlRunFixture, HistoryMoveKeepsEveryColumn)
{
    db_.exec(
        "UPDATE REK2_ZBIR SET DURS_ID_DOK = 'EDP-12345678-31', CORRECTIONFORDOCUMENT = 'EDP-12345678-32', "
        "CORRECTIONFORANALITICALDATA = 'EDP-12345678-33', NAZIV = 'Agent d.o.o.', NASLOV = 'Pot 4', "
        "POOB_DVS = '11223344', MESEC_LETO = '10.2026', DATUM_PLC_DVK = '2026-12-01', ZAPST_DEL = 2, "
        "STZAP_REZ = 3, STZAP_NEREZ = 4, NETO = 5.5, DOH = 6.5, DOH_NEREZ = 7.5, DOH_BREZ_DAVODT = 8.5, "
        "DAV_OSN = 9.5, DAV_ODT = 10.5, STOPNJA = 11.5, DAV_TUJ = 12.5, DAV_ZNZ_STP_LES = 13.5, "
        "DAV_ZNZ_STP = 14.5, SKUPAJ = 15.5, DAV_ZNZ_OSN = 16.5 WHERE ID_REK2_ZBIR = 103");
    db_.exec("UPDATE REK2_ANAL SET DURS_ID_DOK = 'EDP-12345678-34', IDENT_ST = 'ID-3001', DAV_ODT_PLC = 19, "
             "DAV_ODT_ODB_TUJ = 0.5, DATUM_PLC_DVK = '2026-12-02', ZNIZANASTOPNJA = 'N' "
             "WHERE ID_REK2_ANAL = 3001");
    auto row = [this](const QString& sql) {
        QSqlQuery q(db_.db());
        EXPECT_TRUE(q.exec(sql) && q.next()) << sql.toStdString();
        QList<std::pair<QString, QVariant>> columns;
        for (int i = 0; i < q.record().count(); ++i)
            columns.append({q.record().fieldName(i), q.value(i)});
        return columns;
    };
    const auto zbir = row("SELECT * FROM REK2_ZBIR WHERE ID_REK2_ZBIR = 103");
    const auto anal = row("SELECT * FROM REK2_ANAL WHERE ID_REK2_ANAL = 3001");
    ASSERT_EQ(zbir.size(), 30);
    ASSERT_EQ(anal.size(), 23);

    openGrids();
    ASSERT_EQ(runXml({103}).writtenIds, QList<int>({103}));

    const auto zbirHst = row("SELECT * FROM REK2_ZBIR_HST WHERE ID_REK2_ZBIR = 103");
    ASSERT_EQ(zbirHst.size(), 33);
    for (int i = 0; i < zbir.size(); ++i) {
        EXPECT_EQ(zbirHst[i].first, zbir[i].first);
        EXPECT_EQ(zbirHst[i].second.toString(), zbir[i].second.toString()) << zbir[i].first.toStdString();
    }
    EXPECT_EQ(zbirHst[30].second.toDate(), QDate::currentDate());
    EXPECT_EQ(zbirHst[31].second.toString(), "TESTER");
    EXPECT_EQ(zbirHst[32].second.toString(), "WS1");

    const auto analHst = row("SELECT * FROM REK2_ANAL_HST WHERE ID_REK2_ANAL = 3001");
    ASSERT_EQ(analHst.size(), anal.size());
    for (int i = 0; i < anal.size(); ++i) {
        EXPECT_EQ(analHst[i].first, anal[i].first);
        EXPECT_EQ(analHst[i].second.toString(), anal[i].second.toString()) << anal[i].first.toStdString();
    }
}

// Every unreadable tax number of the chosen returns is reported at once,
// before any file exists, the rows' in the order the analytic view shows them
// (row 1004 comes first by its income type); nothing is written or changed.
TEST_F(XmlRunFixture, BadTaxNumbersStopTheRunBeforeAnyFile)
{
    db_.exec("UPDATE REK2_ANAL SET DVS = '12A45678' WHERE ID_REK2_ANAL = 1002");
    db_.exec("UPDATE REK2_ANAL SET DVS = 'Z9', SIF_VRSTE_DOH = '1900' WHERE ID_REK2_ANAL = 1004");
    db_.exec("UPDATE REK2_ZBIR SET POOB_DVS = 'X1' WHERE ID_REK2_ZBIR = 102");
    ctx_.settings.DvsIzp = QStringLiteral("SI123");
    openGrids();
    try {
        runXml({101, 102});
        FAIL() << "no error";
    } catch (const XmlReturnError& e) {
        const QStringList lines = e.message().split('\n');
        EXPECT_EQ(
            lines,
            QStringList({"Neveljavna davčna številka: SI123 za izplačevalca",
                         "Neveljavna davčna številka: X1 za pooblaščenca Pooblaščenec d.o.o. (zbirni 102)",
                         "Neveljavna davčna številka: Z9 za osebo Žužemberk (zbirni 101)",
                         "Neveljavna davčna številka: 12A45678 za osebo Kovač & Sin d.o.o. (zbirni 101)"}));
    }
    EXPECT_TRUE(folderEntries().isEmpty());
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM REK2_ZBIR").toInt(), 3);
    EXPECT_EQ(scalar("SELECT CORRECTIONTYPE FROM REK2_ZBIR WHERE ID_REK2_ZBIR = 102").toString(), "X");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM REK2_DOG WHERE XML_FILE IS NOT NULL").toInt(), 1);
    EXPECT_EQ(op_.busyLog.last(), "hide");
}

// A collection that stopped before linking its events (duplicate tax numbers
// answered with Abort) leaves links of identifier 0. No return is written
// until it is repeated: the moved rows' events would still count as
// unreported, and the next collection would build and file them again.
TEST_F(XmlRunFixture, UnfinishedCollectionStopsTheRunBeforeAnyFile)
{
    db_.exec("INSERT INTO REK2_DOG VALUES (0, 9302, NULL, NULL, 'O', 'D')");
    db_.exec("INSERT INTO REK2_DOG VALUES (0, 9301, NULL, NULL, 'O', 'D')");
    openGrids();
    try {
        runXml({101});
        FAIL() << "no error";
    } catch (const XmlReturnError& e) {
        EXPECT_EQ(e.message(), "Nabor podatkov ni bil dokončan: dogodek 9301 še ni povezan z analitično "
                               "vrstico. Ponovite nabor podatkov, nato generirajte XML.");
    }
    EXPECT_TRUE(folderEntries().isEmpty());
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM REK2_ZBIR").toInt(), 3);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM REK2_ANAL_HST").toInt(), 0);

    // A finished collection leaves the links it could not match empty.
    db_.exec("UPDATE REK2_DOG SET ID_REK2_ANAL = NULL WHERE ID_REK2_ANAL = 0");
    EXPECT_EQ(runXml({101}).files, QStringList({kFile101}));
}

// The kind of a correction ('X') from the days since payout and the corrected
// return's amount; when no kind can be found the summary is left in work with
// a warning and the run goes on.
struct KindCase
{
    const char* name;     // the case's name in the test list
    const char* datumIzp; // today is 2026-12-10
    double skupaj;
    const char* correctedDoc;
    const char* kind; // empty: not written
    const char* warning;
};

void PrintTo(const KindCase& c, std::ostream* os)
{
    *os << c.name << " (paid " << c.datumIzp << ", SKUPAJ " << c.skupaj << ", corrects " << c.correctedDoc
        << ")";
}

class CorrectionKind : public XmlRunFixture, public ::testing::WithParamInterface<KindCase>
{
};

TEST_P(CorrectionKind, KindOrWarning)
{
    const KindCase& c = GetParam();
    db_.exec(
        QStringLiteral("UPDATE REK2_ZBIR SET DATUM_IZP = '%1', SKUPAJ = %2, CORRECTIONFORDOCUMENT = '%3' "
                       "WHERE ID_REK2_ZBIR = 102")
            .arg(QString::fromLatin1(c.datumIzp))
            .arg(c.skupaj)
            .arg(QString::fromLatin1(c.correctedDoc)));
    openGrids();
    const XmlRunResult r = runXml({101, 102});
    if (*c.kind) {
        EXPECT_EQ(r.writtenIds, QList<int>({101, 102}));
        EXPECT_TRUE(r.warnings.isEmpty());
        EXPECT_EQ(scalar("SELECT CORRECTIONTYPE FROM REK2_ZBIR_HST WHERE ID_REK2_ZBIR = 102").toString(),
                  QString::fromLatin1(c.kind));
        EXPECT_TRUE(r.files.value(1).contains("_X_102_"));
        EXPECT_TRUE(readAll(xmlFolder() + r.files.value(1))
                        .contains("<DocumentTypeID>" + QByteArray(c.kind) + "</DocumentTypeID>"));
    } else {
        EXPECT_EQ(r.writtenIds, QList<int>({101}));
        ASSERT_EQ(op_.shown.size(), 1u);
        EXPECT_TRUE(op_.shown[0].text.startsWith(QString::fromUtf8(c.warning)))
            << op_.shown[0].text.toStdString();
        EXPECT_EQ(op_.shown[0].buttons, QStringList({"V redu!"}));
        EXPECT_EQ(scalar("SELECT CORRECTIONTYPE FROM REK2_ZBIR WHERE ID_REK2_ZBIR = 102").toString(), "X");
        EXPECT_TRUE(scalar("SELECT XML_FILE FROM REK2_DOG WHERE ID_REK2_ANAL = 2001").isNull());
    }
}

INSTANTIATE_TEST_SUITE_P(
    XmlRun, CorrectionKind,
    ::testing::Values(
        KindCase{"TenDaysIsP", "2026-11-30", 10, "EDP-12345678-200", "P", ""},
        KindCase{"ThirtyDaysIsPWithoutLookUp", "2026-11-10", 99, "nobody", "P", ""},
        KindCase{"SameToTheCentIsA", "2026-09-01", 10.001, "EDP-12345678-200", "A", ""},
        KindCase{"MoreIsI", "2026-09-01", 12, "EDP-12345678-200", "I", ""},
        KindCase{"LessIsZ", "2026-09-01", 8, "EDP-12345678-200", "Z", ""},
        KindCase{"CorrectedReturnMissing", "2026-09-01", 10, "EDP-1-404", "",
                 "Ne obstaja v sistemu Zbirni zapis sa DURS_DOK_ID:EDP-1-404\nZbirni 102 ni zapisan."},
        KindCase{"MoreThanAYear", "2025-11-01", 10, "EDP-12345678-200", "",
                 "Od datuma izplačila je minilo več kot 365 dni (404)"}),
    [](const ::testing::TestParamInfo<KindCase>& info) { return std::string(info.param.name); });

// The rows of the first return are checked as its file is written, the
// others before: a bad row in either stops the run all the same, listing the
// rows in the view's order, with no file left and nothing changed.
TEST_F(XmlRunFixture, BadRowsOfAnyReturnStopTheRunBeforeAnyFile)
{
    const QString first = "Neveljavna davčna številka: Z9 za osebo Žužemberk (zbirni 101)";
    const QString second = "Neveljavna davčna številka: Q1 za osebo Miha Zupan (zbirni 103)";
    const struct
    {
        const char* dvs1004;
        const char* dvs3001;
        QStringList expected;
    } cases[] = {
        {"Z9", "45678901", {first}},
        {"34567890", "Q1", {second}},
        {"Z9", "Q1", {first, second}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected.join(" / ").toStdString());
        db_.exec(QStringLiteral("UPDATE REK2_ANAL SET DVS = '%1' WHERE ID_REK2_ANAL = 1004").arg(c.dvs1004));
        db_.exec(QStringLiteral("UPDATE REK2_ANAL SET DVS = '%1' WHERE ID_REK2_ANAL = 3001").arg(c.dvs3001));
        openGrids();
        try {
            runXml({101, 103});
            ADD_FAILURE() << "no error";
        } catch (const XmlReturnError& e) {
            EXPECT_EQ(e.message().split('\n'), c.expected);
        }
        EXPECT_TRUE(folderEntries().isEmpty());
        EXPECT_EQ(scalar("SELECT COUNT(*) FROM REK2_ZBIR").toInt(), 3);
        EXPECT_EQ(scalar("SELECT COUNT(*) FROM REK2_DOG WHERE XML_FILE IS NOT NULL").toInt(), 1);
        EXPECT_FALSE(logText().contains("Kreiran xml file."));
    }
}

// Which summaries are written: the selected ones or all; one without the
// document it refers to is skipped with a warning.
TEST_F(XmlRunFixture, ChoiceAndQualification)
{
    db_.exec(
        "UPDATE REK2_ZBIR SET CORRECTIONTYPE = 'D', CORRECTIONFORDOCUMENT = NULL WHERE ID_REK2_ZBIR = 101");
    openGrids();
    XmlRunResult r = runXml({});
    EXPECT_TRUE(r.files.isEmpty());
    EXPECT_TRUE(folderEntries().isEmpty());
    EXPECT_EQ(op_.busyLog, QStringList({"show:Generiranje XML-ja.....", "hide"}));
    EXPECT_TRUE(ctx_.odsREK2_Zbir.Active()); // nothing written: the grids stay

    r = runXml({}, /*all=*/true);
    EXPECT_EQ(r.writtenIds, QList<int>({103, 102})); // grid order: income type first
    ASSERT_EQ(op_.shown.size(), 1u);
    EXPECT_EQ(op_.shown[0].text,
              "Za dokument ne obstaja EDP številka originala, prosim vnesite EPD številka v "
              "originalni dokument!");
    EXPECT_EQ(op_.shown[0].buttons, QStringList({"V redu"}));
    EXPECT_EQ(scalar("SELECT GROUP_CONCAT(ID_REK2_ZBIR) FROM REK2_ZBIR").toString(), "101");
}

TEST_F(XmlRunFixture, EmptyAnalyticGridIsAnError)
{
    ctx_.datumOd = ctx_.datumDo = QDate(2020, 1, 1);
    openGrids();
    try {
        runXml({101});
        FAIL() << "no error";
    } catch (const XmlReturnError& e) {
        EXPECT_EQ(e.message(), "Nabor je prazen! Generiranje XML ni možno!");
    }
    EXPECT_TRUE(op_.busyLog.isEmpty());
}

// A file that cannot be written stops the run: returns written before it are
// archived, its own summary stays in work with unmarked links, and no partial
// file is left behind.
TEST_F(XmlRunFixture, UnwritableFileStopsTheRunKeepingEarlierReturns)
{
    ASSERT_TRUE(QDir(xmlFolder()).mkdir(kFile102)); // a folder where the file should go
    openGrids();
    XmlReturnRun run(ctx_);
    ctx_.selectedZbirIds = {101, 102};
    run.today = QDate(2026, 12, 10);
    EXPECT_THROW(run.run(), XmlReturnError);
    EXPECT_EQ(run.result().files, QStringList({kFile101}));
    EXPECT_EQ(folderEntries(), QStringList({kFile102, kFile101}));
    EXPECT_EQ(scalar("SELECT GROUP_CONCAT(ID_REK2_ZBIR) FROM REK2_ZBIR").toString(), "102,103");
    EXPECT_EQ(scalar("SELECT CORRECTIONTYPE FROM REK2_ZBIR WHERE ID_REK2_ZBIR = 102").toString(), "X");
    EXPECT_TRUE(scalar("SELECT XML_FILE FROM REK2_DOG WHERE ID_REK2_ANAL = 2001").isNull());
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM REK2_ZBIR_HST WHERE ID_REK2_ZBIR = 101").toInt(), 1);
    EXPECT_EQ(op_.busyLog.last(), "hide");
    // Progress by returns written, hidden again on the failure.
    EXPECT_EQ(op_.progressLog, QStringList({"0/2", "1/2", "0/0"}));
}

// Apostrophes in a security code and a user name are data, not statement
// text; a file of the same name is replaced whole; T2S shows reduced rates.
TEST_F(XmlRunFixture, QuotesReplacedFileAndT2S)
{
    db_.exec("UPDATE REK2_ZBIR SET SFVP = 'D''OR' WHERE ID_REK2_ZBIR = 101");
    const QString name = QStringLiteral("REK2_D'OR_12_S_101_1901_261130.xml");
    {
        QFile old(xmlFolder() + name);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(100000, 'x'));
    }
    userName_ = QStringLiteral("O'HARA");
    ctx_.settings.T2S = true;
    openGrids();
    const XmlRunResult r = runXml({101});
    ASSERT_EQ(r.files, QStringList({name}));
    const QByteArray bytes = readAll(xmlFolder() + name);
    EXPECT_TRUE(bytes.startsWith("<?xml"));
    EXPECT_TRUE(bytes.endsWith("</Envelope>\r\n"));
    EXPECT_EQ(bytes.count("<A005>true</A005>"), 1); // Janez Novak, reduced rate 'D'
    EXPECT_EQ(scalar("SELECT USR FROM REK2_ZBIR_HST WHERE ID_REK2_ZBIR = 101").toString(), "O'HARA");
    EXPECT_EQ(scalar("SELECT XML_FILE FROM REK2_DOG WHERE ID_REK2_ANAL = 1001").toString(), name);
    EXPECT_EQ(folderEntries(), QStringList({name}));
}

// A return with no pending row has its header but no AnalyticalData.
TEST_F(XmlRunFixture, ReturnWithoutPendingRows)
{
    db_.exec("UPDATE REK2_DOG SET XML_FILE = 'REK2_OLD.xml' WHERE ID_REK2_ANAL = 3001");
    openGrids();
    const XmlRunResult r = runXml({103});
    ASSERT_EQ(r.files.size(), 1);
    const QByteArray bytes = readAll(xmlFolder() + r.files[0]);
    EXPECT_TRUE(bytes.contains("</REK_2>\r\n    </REK>"));
    EXPECT_FALSE(bytes.contains("<AnalyticalData "));
    EXPECT_FALSE(bytes.contains("<AnalyticalDataItem"));
    EXPECT_FALSE(bytes.contains("CorrectionForDocument"));
    EXPECT_EQ(r.files[0], "REK2_KRKG_12_O_103_1901_261130.xml");
}

// Rows whose identifiers are not in the view's order (by kind of income,
// payout date, tax date with the empty one last, identifier) are written in
// that order all the same, and the first of them is logged once.
TEST_F(XmlRunFixture, RowsOutOfTheViewsOrderAreWrittenInIt)
{
    for (const char* row :
         {"2999, '22222222', '2026-11-30', '2026-12-05'", "3000, '11111111', '2026-12-01', NULL"})
        db_.exec(QStringLiteral(
                     "INSERT INTO REK2_ANAL (ID_REK2_ANAL, DVS, DATUM_IZP_DIV, DATUM_PLC_DVK, ID_REK2_ZBIR, "
                     "NAZIV, REZ, DRZ, SIF_SFDOH, BRUTO, DAV_ODT_OBR, DAV_ODT_PLC, DAV_ODT_ODB_TUJ, "
                     "SIF_VRSTE_DOH, STATUS) VALUES (") +
                 row + ", 103, 'Ime', 'R', 'SI', '5400', 10, 2, 2, 0, '1901', 'O')");
    openGrids();
    const XmlRunResult r = runXml({103});
    ASSERT_EQ(r.files.size(), 1);
    const QByteArray bytes = readAll(xmlFolder() + r.files[0]);
    const qsizetype first = bytes.indexOf("22222222"), second = bytes.indexOf("45678901"),
                    third = bytes.indexOf("11111111");
    EXPECT_TRUE(first > 0 && first < second && second < third) << bytes.toStdString();
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM REK2_ANAL_HST WHERE ID_REK2_ZBIR = 103").toInt(), 3);
    EXPECT_EQ(logText().count("Analitika za Zbirni 103 1901 Dan izp.:30.11.2026 Dan plač. davka:05.12.2026"),
              1);
    EXPECT_EQ(logText().count("Analitika za Zbirni"), 1);
}

// The links' file update as stored (Oracle text through the dialect) and in
// its SQLite form mark the same links, for a return with a link reported in an
// earlier file (101), a correction (102) and a return whose rows are all
// pending (103).
TEST_F(XmlRunFixture, StoredAndSqliteLinkFileUpdatesAgree)
{
    auto linksAfter = [this](int zbir, bool sqliteForm) {
        Transaction tx(session_);
        Query q;
        q.SetSession(&session_);
        q.SQL = linkFileUpdateSql();
        if (sqliteForm)
            q.SetEngineSQL("QSQLITE", sqliteLinkFileUpdateSql());
        q.DeclareAndSet("ID_REK2_ZBIR", VarType::Integer, zbir);
        q.DeclareAndSet("XML_FILE", VarType::String, "REK2_NEW.xml");
        q.Execute();
        Query links;
        links.SetSession(&session_);
        links.SQL =
            QStringList{"SELECT GROUP_CONCAT(L, ' ') FROM (SELECT ID_REK2_ANAL || '/' || ID_DOG || "
                        "'/' || COALESCE(XML_FILE, '-') AS L FROM REK2_DOG ORDER BY ID_REK2_ANAL, ID_DOG)"};
        links.Execute();
        const QStringList rows{QString::number(q.RowsProcessed()), links.FieldAsString(0)};
        tx.rollback();
        return rows;
    };
    for (const int zbir : {101, 102, 103}) {
        const QStringList stored = linksAfter(zbir, false);
        EXPECT_NE(stored.first(), "0") << zbir;
        EXPECT_EQ(stored, linksAfter(zbir, true)) << zbir;
    }
}
