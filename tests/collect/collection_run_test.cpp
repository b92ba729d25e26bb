#include "collect/collection_run.h"
#include "collect/registry_fixture.h"
#include "db/error.h"
#include "db/sqlite/collect_statements.h"
#include "returns/working_statements.h"
#include "support/test_engine.h"
#include "xmlreturn/xml_return_run.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace rek2;
using namespace rek2::collect;
using rek2::test::CollectFixture;

namespace {

const QString kSub = QStringLiteral("SI56011008881000030");

// A table of expected rows, one row a line, fields separated by '|' (NULL
// and the empty text as an empty field); blank lines are skipped.
QStringList table(const char* text)
{
    QStringList rows;
    for (const QString& line : QString::fromUtf8(text).split(QLatin1Char('\n')))
        if (!line.trimmed().isEmpty())
            rows << line.trimmed();
    return rows;
}

// REK2_ANAL after collecting 15.06.2009, standard variant, residents only.
// NAZIV|DVS|IDENT_ST|REZ|DRZ|UGO|SIF_SFDOH|BRUTO|OBR|PLC|TUJ|VRSTA|IZP|PLC
// date|STATUS|SFKPN|SFVP|IME|PRIIMEK|ZNIZ|DURS
const QStringList kAnalStandard = table(R"(
Ana Novak|11111111||R|SI|1|5700|200.00|40.00|40.00|0.00|1920|2009-06-15|2009-06-15|O|501|KRKG|Ana|Novak|N|0
Ana Novak|11111111||R|SI|1|5400|40.00|||0.00|1901|2009-06-15||O|503|RS33|Ana|Novak|N|0
Ana Novak|11111111||R|SI|1|5700|61.72|12.34|12.34|0.00|1920|2009-06-15|2009-06-15|O|504|OMV|Ana|Novak|N|0
Ana Novak|11111111||R|SI|1|5700|80.00|16.00|0.00|0.00|1920|2009-06-15||O|506|KRKG|Ana|Novak|N|0
Bor Kranjc|22222222||R|SI|1|5700|100.00|10.00|10.00|0.00|1920|2009-06-15|2009-06-15|O|501|KRKG|Bor|Kranjc|D|0
Bor Kranjc|22222222||R|SI|1|5600|150.00|37.50|37.50|0.00|1902|2009-06-15|2009-06-15|O|502|SOS2E_S|Bor|Kranjc|N|0
Bor Kranjc|22222222||R|SI|1|5400|50.00|12.50|12.50|0.00|1901|2009-06-15|2009-06-15|O|505|TUJB|Bor|Kranjc|N|0
Cene Zupan|33333333||R|SI|1|5700|50.00|10.00|10.00|0.00|1920|2009-06-15|2009-06-15|O|501|KRKG|Cene|Zupan|N|0
Dana Kos|44444444||R|SI|1|5700|61.73|12.34|12.34|0.01|1920|2009-06-15|2009-06-15|O|504|OMV|Dana|Kos|N|0
)");

// REK2_ZBIR after the same run.
// SFKPN|SFVP|VRSTA|IZP|PLC|MESEC|TYPE|DEL|REZ|NEREZ|NETO|DOH|DOH_NEREZ|DOH_BREZ|DAV_OSN|DAV_ODT|STOPNJA|DAV_TUJ|
// ZNZ_LES|ZNZ_STP|ZNZ_OSN|SKUPAJ|PODRACUN|REF_DOK|REF_ANAL
const QStringList kZbirStandard = table(R"(
501|KRKG|1920|2009-06-15|2009-06-15|06.2009|O|1|3|0|290.00|350.00|0.00|0.00|350.00|60.00|20.00|0.00|0.00|10.00|100.00|60.00|SI56011008881000030||
502|SOS2E_S|1902|2009-06-15|2009-06-15|06.2009|O|1|1|0|112.50|150.00|0.00|0.00|150.00|37.50|25.00|0.00|0.00|0.00|0.00|37.50|SI56011008881000030||
503|RS33|1901|2009-06-15||06.2009|O|1|1|0|40.00|40.00|0.00|0.00|40.00|0.00|25.00|0.00|0.00|0.00|0.00|0.00|SI56011008881000030||
504|OMV|1920|2009-06-15|2009-06-15|06.2009|O|1|2|0|98.76|123.45|0.00|0.00|123.45|24.69|20.00|0.01|0.00|0.00|0.00|24.68|SI56011008881000030||
505|TUJB|1901|2009-06-15|2009-06-15|06.2009|O|1|1|0|37.50|50.00|0.00|0.00|50.00|12.50|25.00|0.00|0.00|0.00|0.00|12.50|SI56011008881000030||
506|KRKG|1920|2009-06-15||06.2009|O|1|1|0|64.00|80.00|0.00|0.00|80.00|16.00|20.00|0.00|0.00|0.00|0.00|16.00|SI56011008881000030||
)");

// REK2_DOG: event, tax link, status, the analytic row it points to, whether
// that row's summary exists.
const QStringList kLinksStandard = table(R"(
1001|D|O|Ana Novak|501|1
1002|D|O|Cene Zupan|501|1
1003|D|O|Cene Zupan|501|1
1006|D|O|Bor Kranjc|502|1
1007|D|O|Bor Kranjc|505|1
1008|N|O|Ana Novak|503|1
1009|D|O|Dana Kos|504|1
1010|D|O|Ana Novak|504|1
1011|D|O|Bor Kranjc|501|1
1012|N|O|Ana Novak|506|1
)");

QStringList runLines(const QStringList& log)
{
    QStringList out;
    for (const auto& l : log)
        if (l.startsWith("TfRek.bNaborClick: "))
            out << l.mid(19);
    return out;
}

} // namespace

TEST(CollectionRun, StandardVariantFillsTheThreeTables)
{
    CollectFixture f;
    bool clicked = false;
    RunHooks hooks;
    hooks.dbgZbirniCellClick = [&] { clicked = true; };
    CollectionRun run(f.ctx, hooks);
    EXPECT_EQ(run.bNaborClick(), CollectionRun::Outcome::Finished);

    EXPECT_EQ(f.analyticRows(), kAnalStandard);
    EXPECT_EQ(f.summaryRows(), kZbirStandard);
    EXPECT_EQ(f.links(), kLinksStandard);
    EXPECT_EQ(
        f.scalar(
            "SELECT COUNT(*) FROM REK2_ANAL WHERE ID_REK2_ZBIR NOT IN (SELECT ID_REK2_ZBIR FROM REK2_ZBIR)"),
        "0");
    // On SQLite the rows of one summary are inserted one after another (the
    // table keeps them together, which makes moving them to their summary cheap).
    if (!test::onPostgres()) {
        EXPECT_EQ(f.scalar("SELECT COUNT(*) FROM (SELECT ID_REK2_ZBIR FROM REK2_ANAL GROUP BY ID_REK2_ZBIR "
                           "HAVING MAX(ID_REK2_ANAL)-MIN(ID_REK2_ANAL)+1<>COUNT(*)) S"),
                  "0");
    }

    // Both views loaded, the first summary clicked, the busy indicator gone.
    EXPECT_EQ(f.ctx.odsREK2_Zbir.RecordCount(), 6);
    EXPECT_EQ(f.ctx.odsNabor.RecordCount(), 9);
    EXPECT_TRUE(clicked);
    EXPECT_EQ(f.op.busyLog, (QStringList{"show:Nabor podatkov....", "hide"}));
    EXPECT_TRUE(f.op.shown.empty());

    const QStringList expected = {
        "START",
        "FHasBrutoDiv=false)",
        "FREK_5700_neRez=false)",
        "T2S=false)",
        "1.0. UPDATE REK2_DOG (count=0)",
        "1.1. DELETE FROM REK2_ANAL (count=0)",
        "1.2. DELETE FROM REK2_DOG (count=0)",
        "2.1. INSERT INTO REK2_DOG(2) (count=10)",
        "2.2. INSERT INTO REK2_ANAL(2) (count=9)",
        "3. SELECT FROM REK2_ANAL (count=9)",
        "4.SQL:",
        "4. UPDATE REK2_DOG (count=10)",
        "5. SELECT FROM REK2_ZBIR (count=6)",
        "6. SELECT FROM REK2_DOG (count=9)",
        "END",
    };
    EXPECT_EQ(runLines(f.logLines()), expected);
}

TEST(CollectionRun, ASecondRunOfThePeriodChangesNothing)
{
    CollectFixture f;
    f.ctx.settings.FREK_5700_neRez = true; // a recipient without a Slovenian tax number
    CollectionRun(f.ctx).bNaborClick();
    const QStringList anal = f.analyticRows();
    const QStringList zbir = f.summaryRows();
    const QStringList links = f.links();

    CollectionRun(f.ctx).bNaborClick();
    EXPECT_EQ(f.analyticRows(), anal);
    EXPECT_EQ(f.summaryRows(), zbir);
    EXPECT_EQ(f.links(), links);
    const QStringList lines = runLines(f.logLines());
    EXPECT_EQ(lines.count("2.1. INSERT INTO REK2_DOG(2) (count=0)"), 1);
    EXPECT_EQ(lines.count("2.2. INSERT INTO REK2_ANAL(2) (count=0)"), 1);

    // The non-resident of the dividend coupon is in, his interest is not.
    EXPECT_TRUE(
        anal.contains("Hans Müller||AT-123|N|AT|1|5700|100.00|15.00|15.00|0.00|1920|2009-06-15|2009-06-15|O|"
                      "501|KRKG|Hans|Müller|N|0"));
    EXPECT_TRUE(links.contains("1004|D|O|Hans Müller|501|1"));
    EXPECT_EQ(anal.size(), kAnalStandard.size() + 1);
    EXPECT_EQ(zbir[0],
              "501|KRKG|1920|2009-06-15|2009-06-15|06.2009|O|1|3|1|375.00|450.00|100.00|0.00|450.00|75.00|"
              "20.00|0.00|0.00|10.00|100.00|75.00|" +
                  kSub + "||");
    EXPECT_TRUE(f.op.shown.empty()) << "rows without a tax number are no duplicates";
}

// Links no row matches: one left null by an earlier run, one still
// unlinked (0). Both end null and both are counted, as the Oracle statement
// that sets every unlinked link counts them.
TEST(CollectionRun, LinksWithoutARowEndNullAndAreCounted)
{
    CollectFixture f;
    CollectionRun(f.ctx).bNaborClick();
    f.db.exec("INSERT INTO REK2_DOG (ID_REK2_ANAL, ID_DOG, DURS_ID_DOK, XML_FILE, STATUS, DAVCNI_ODTEGLJAJ) "
              "VALUES (NULL, 1108, NULL, NULL, 'O', 'N'), (0, 1108, NULL, NULL, 'O', 'D')");
    CollectionRun(f.ctx).bNaborClick();
    const QStringList lines = runLines(f.logLines());
    EXPECT_EQ(lines.count("4. UPDATE REK2_DOG (count=2)"), 1) << lines.join('\n').toStdString();
    EXPECT_EQ(f.scalar("SELECT COUNT(*) FROM REK2_DOG WHERE ID_DOG = 1108 AND ID_REK2_ANAL IS NULL").toInt(),
              2);
}

TEST(CollectionRun, GrossDividendVariant)
{
    CollectFixture f;
    f.ctx.settings.FHasBrutoDiv = true;
    f.ctx.settings.SfDogDvcOdt = "'601'";
    CollectionRun(f.ctx).bNaborClick();

    // The account owner is taxed, the payout's own OBRVLT does not matter
    // (Dana's 1014), the reduced rate is not written, and the foreign credit
    // is given whoever the issuer is.
    const QStringList anal = table(R"(
Ana Novak|11111111||R|SI|1|5700|200.00|40.00|40.00|0.00|1920|2009-06-15|2009-06-15|O|501|KRKG|Ana|Novak||0
Ana Novak|11111111||R|SI|1|5400|40.00|||10.00|1901|2009-06-15||O|503|RS33|Ana|Novak||0
Ana Novak|11111111||R|SI|1|5700|61.72|12.34|12.34|0.00|1920|2009-06-15|2009-06-15|O|504|OMV|Ana|Novak||0
Ana Novak|11111111||R|SI|1|5700|80.00|16.00|0.00|0.00|1920|2009-06-15||O|506|KRKG|Ana|Novak||0
Bor Kranjc|22222222||R|SI|1|5700|100.00|10.00|10.00|10.00|1920|2009-06-15|2009-06-15|O|501|KRKG|Bor|Kranjc||0
Bor Kranjc|22222222||R|SI|1|5600|150.00|37.50|37.50|0.00|1902|2009-06-15|2009-06-15|O|502|SOS2E_S|Bor|Kranjc||0
Bor Kranjc|22222222||R|SI|1|5400|50.00|12.50|12.50|0.00|1901|2009-06-15|2009-06-15|O|505|TUJB|Bor|Kranjc||0
Cene Zupan|33333333||R|SI|1|5700|50.00|10.00|10.00|0.00|1920|2009-06-15|2009-06-15|O|501|KRKG|Cene|Zupan||0
Dana Kos|44444444||R|SI|1|5700|10.00|||2.00|1920|2009-06-15||O|501|KRKG|Dana|Kos||0
Dana Kos|44444444||R|SI|1|5700|61.73|12.34|12.34|0.01|1920|2009-06-15|2009-06-15|O|504|OMV|Dana|Kos||0
)");
    EXPECT_EQ(f.analyticRows(), anal);
    const QStringList zbir = table(R"(
501|KRKG|1920|2009-06-15|2009-06-15|06.2009|O|1|3|0|280.00|350.00|0.00|0.00|350.00|70.00|20.00|10.00|0.00|0.00|0.00|60.00|SI56011008881000030||
501|KRKG|1920|2009-06-15||06.2009|O|1|1|0|8.00|10.00|0.00|0.00|10.00|2.00|20.00|2.00|0.00|0.00|0.00|0.00|SI56011008881000030||
502|SOS2E_S|1902|2009-06-15|2009-06-15|06.2009|O|1|1|0|112.50|150.00|0.00|0.00|150.00|37.50|25.00|0.00|0.00|0.00|0.00|37.50|SI56011008881000030||
503|RS33|1901|2009-06-15||06.2009|O|1|1|0|30.00|40.00|0.00|0.00|40.00|10.00|25.00|10.00|0.00|0.00|0.00|0.00|SI56011008881000030||
504|OMV|1920|2009-06-15|2009-06-15|06.2009|O|1|2|0|98.76|123.45|0.00|0.00|123.45|24.69|20.00|0.01|0.00|0.00|0.00|24.68|SI56011008881000030||
505|TUJB|1901|2009-06-15|2009-06-15|06.2009|O|1|1|0|37.50|50.00|0.00|0.00|50.00|12.50|25.00|0.00|0.00|0.00|0.00|12.50|SI56011008881000030||
506|KRKG|1920|2009-06-15||06.2009|O|1|1|0|64.00|80.00|0.00|0.00|80.00|16.00|20.00|0.00|0.00|0.00|0.00|16.00|SI56011008881000030||
)");
    EXPECT_EQ(f.summaryRows(), zbir);
    QStringList links = kLinksStandard;
    links << "1014|N|O|Dana Kos|501|1";
    links.sort();
    EXPECT_EQ(f.links(), links);
    EXPECT_TRUE(runLines(f.logLines()).contains("2.1. INSERT INTO REK2_DOG(1) (count=11)"));
}

TEST(CollectionRun, TaxPaidLaterIsTheSecondPartOfTheFirstReturn)
{
    CollectFixture f;
    CollectionRun(f.ctx).bNaborClick();

    // History: the first part was filed (and filed again as a later
    // original); a cancellation, an earlier second part, an unnumbered
    // record and another coupon are no first part.
    f.db.exec("INSERT INTO REK2_ZBIR_HST (ID_REK2_ZBIR, DURS_ID_DOK, CORRECTIONTYPE, SIF_VRSTE_DOH, "
              "DATUM_IZP, SFVP, "
              "SFKPN, CAS) VALUES "
              "(90, 'EDP-12345678-1', 'O', '1920', '2009-06-15', 'KRKG', 506, '2009-06-20'),"
              "(91, 'EDP-12345678-7', 'O', '1920', '2009-06-15', 'KRKG', 506, '2009-06-25'),"
              "(92, 'EDP-12345678-9', 'S', '1920', '2009-06-15', 'KRKG', 506, '2009-06-30'),"
              "(93, 'EDP-12345678-8', 'D', '1920', '2009-06-15', 'KRKG', 506, '2009-06-28'),"
              "(94, NULL, 'O', '1920', '2009-06-15', 'KRKG', 506, '2009-07-01'),"
              "(95, 'EDP-12345678-5', 'O', '1920', '2009-06-15', 'KRKG', 501, '2009-07-02')");

    f.period(QDate(2009, 7, 1), QDate(2009, 7, 31));
    CollectionRun(f.ctx).bNaborClick();

    EXPECT_TRUE(
        f.analyticRows().contains("Ana Novak|11111111||R|SI|1|5700|80.00|16.00|16.00|0.00|1920|2009-06-15|"
                                  "2009-07-10|O|506|KRKG|Ana|Novak|N|0"));
    EXPECT_TRUE(f.links().contains("1012|N|O|Ana Novak|506|0")) << "its July summary replaced June's";
    EXPECT_TRUE(f.links().contains("1012|D|O|Ana Novak|506|1"));
    EXPECT_EQ(
        f.summaryRows(),
        (QStringList{"506|KRKG|1920|2009-06-15|2009-07-10|06.2009|D|2|1|0|64.00|80.00|0.00|0.00|80.00|16.00|"
                     "20.00|0.00|0.00|0.00|0.00|16.00|" +
                     kSub + "|EDP-12345678-7|EDP-12345678-7"}));

    // Without a filed first part the references stay empty.
    f.db.exec("DELETE FROM REK2_ZBIR_HST WHERE ID_REK2_ZBIR IN (90, 91)");
    CollectionRun(f.ctx).bNaborClick();
    EXPECT_TRUE(
        f.summaryRows().value(0).endsWith("|D|2|1|0|64.00|80.00|0.00|0.00|80.00|16.00|20.00|0.00|0.00|0.00|"
                                          "0.00|16.00|" +
                                          kSub + "||"));
}

// A link whose event vanished takes its analytic row with it unless the link
// has a document number (an empty text counts as none); the survivors of
// that row are linked again and the row rebuilt from them.
TEST(CollectionRun, VanishedEventTakesItsRowAndTheSurvivorIsRebuilt)
{
    struct Case
    {
        const char* document; // of the vanished event's link; nullptr: NULL
        bool cleaned;
    };
    for (const Case c : {Case{nullptr, true}, Case{"", true}, Case{"12345", false}}) {
        SCOPED_TRACE(c.document ? c.document : "NULL");
        CollectFixture f;
        CollectionRun(f.ctx).bNaborClick();
        f.db.exec("DELETE FROM DOG WHERE IDDOG = 1003"); // one of Cene's two accounts
        if (c.document)
            f.db.exec(QString("UPDATE REK2_DOG SET DURS_ID_DOK = '%1' WHERE ID_DOG = 1003").arg(c.document));

        CollectionRun(f.ctx).bNaborClick();
        QStringList anal = kAnalStandard;
        QStringList links = kLinksStandard;
        if (c.cleaned) {
            anal[7] =
                "Cene "
                "Zupan|33333333||R|SI|1|5700|20.00|4.00|4.00|0.00|1920|2009-06-15|2009-06-15|O|501|KRKG|"
                "Cene|Zupan|N|0";
            links.removeAll("1003|D|O|Cene Zupan|501|1");
        }
        EXPECT_EQ(f.analyticRows(), anal);
        EXPECT_EQ(f.links(), links);
        EXPECT_TRUE(f.summaryRows().value(0).startsWith(
            c.cleaned
                ? "501|KRKG|1920|2009-06-15|2009-06-15|06.2009|O|1|3|0|266.00|320.00|0.00|0.00|320.00|54.00|"
                : "501|KRKG|1920|2009-06-15|2009-06-15|06.2009|O|1|3|0|290.00|350.00|0.00|0.00|350.00|60."
                  "00|"));
        const QStringList lines = runLines(f.logLines());
        const int n = c.cleaned ? 1 : 0;
        for (const QString& step :
             {QStringLiteral("1.0. UPDATE REK2_DOG"), QStringLiteral("1.1. DELETE FROM REK2_ANAL"),
              QStringLiteral("1.2. DELETE FROM REK2_DOG")})
            EXPECT_TRUE(lines.contains(step + QString(" (count=%1)").arg(n))) << step.toStdString();
    }
}

TEST(CollectionRun, T2SModeSelectsByIssuerAndTaxStatus)
{
    CollectFixture f;
    f.ctx.settings.T2S = true;
    f.db.exec("UPDATE DOG SET DAVEKSTATUS = '0' WHERE IDDOG = 1011");
    CollectionRun(f.ctx).bNaborClick();
    // Class 'F' with a domestic issuer whatever the residence (Hans), or a
    // resident with a foreign issuer; an 'R' link and a tax status other
    // than '0' are needed (1008 and 1011 stay out).
    EXPECT_EQ(
        f.scalar("SELECT GROUP_CONCAT(ID_DOG, ',') FROM (SELECT ID_DOG FROM REK2_DOG ORDER BY ID_DOG) X"),
        "1001,1002,1003,1004,1005,1006,1007,1009,1010,1012");
    EXPECT_EQ(f.scalar("SELECT COUNT(*) FROM REK2_DOG WHERE COALESCE(ID_REK2_ANAL, 0) = 0"), "0");
    EXPECT_EQ(
        f.scalar("SELECT GROUP_CONCAT(SIF_SFDOH, ',') FROM (SELECT SIF_SFDOH FROM REK2_ANAL WHERE REZ = 'N' "
                 "ORDER BY 1) X"),
        "5600,5700");
}

TEST(CollectionRun, DuplicateTaxNumbersAskAbortOrIgnore)
{
    for (bool ignore : {false, true}) {
        CollectFixture f;
        f.addHolderPayout(106, "Anja", "Novak", "11111111", "S", 8, 1030, 4);
        f.op.abortIgnoreAnswers.push_back(ignore);

        const auto outcome = CollectionRun(f.ctx).bNaborClick();
        ASSERT_EQ(f.op.shown.size(), 1u);
        EXPECT_EQ(f.op.shown[0].kind, "AbortIgnore");
        EXPECT_EQ(f.op.shown[0].text, "Podvojene davčne številke:\n\n11111111 (2)");
        EXPECT_FALSE(f.op.busy);
        // Progress in steps, hidden again however the run ends.
        EXPECT_EQ(f.op.progressLog, ignore ? QStringList({"0/5", "1/5", "2/5", "3/5", "4/5", "5/5", "0/0"})
                                           : QStringList({"0/5", "1/5", "2/5", "3/5", "0/0"}));
        const QString unlinked =
            f.scalar("SELECT COUNT(*) FROM REK2_DOG WHERE COALESCE(ID_REK2_ANAL, 0) = 0");
        if (ignore) {
            EXPECT_EQ(outcome, CollectionRun::Outcome::Finished);
            EXPECT_EQ(unlinked, "0") << "the two recipients are told apart by name";
        } else {
            EXPECT_EQ(outcome, CollectionRun::Outcome::Aborted);
            EXPECT_EQ(unlinked, "11");
            EXPECT_EQ(f.scalar("SELECT COUNT(*) FROM REK2_ZBIR"), "6") << "re-grouping stays";
            EXPECT_FALSE(runLines(f.logLines()).contains("END"));
        }
    }
}

// A collection answered with Abort leaves its events unlinked. Once another
// period's collection has finished (its link step empties every link it
// cannot match, these too), the XML run must still refuse the period's
// returns: written, their rows would go to history while their events still
// count as unreported, and the next collection would file them again.
TEST(CollectionRun, ReturnsOfAnAbortedCollectionAreNotWritten)
{
    CollectFixture f;
    f.addHolderPayout(106, "Anja", "Novak", "11111111", "S", 8, 1030, 4);
    f.op.abortIgnoreAnswers.push_back(false);
    ASSERT_EQ(CollectionRun(f.ctx).bNaborClick(), CollectionRun::Outcome::Aborted);
    f.db.exec(sqlite::linkUpdateUnmatched());

    QTemporaryDir folder;
    f.ctx.settings.XMLPath = folder.path() + QLatin1Char('/');
    f.ctx.settings.DvsIzp = QStringLiteral("12345678");
    const auto writeAll = [&f] {
        openAnalyticWorking(f.ctx.odsNabor, f.ctx.datumOd, f.ctx.datumDo);
        openSummarySelection(f.ctx.odsREK2_Zbir, f.scalar("SELECT GROUP_CONCAT(ID_REK2_ZBIR) FROM REK2_ZBIR"));
        f.ctx.xmlZaVseZbirne = true;
        return XmlReturnRun(f.ctx).run();
    };
    try {
        writeAll();
        FAIL() << "no error";
    } catch (const XmlReturnError& e) {
        EXPECT_TRUE(e.message().startsWith("Nabor podatkov ni bil dokončan: dogodek 10"))
            << e.message().toStdString();
    }
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
    EXPECT_EQ(f.scalar("SELECT COUNT(*) FROM REK2_ANAL_HST"), "0");

    // Collected again (Ignore), every return goes and every link has its file.
    f.op.abortIgnoreAnswers.push_back(true);
    ASSERT_EQ(CollectionRun(f.ctx).bNaborClick(), CollectionRun::Outcome::Finished);
    EXPECT_FALSE(writeAll().files.isEmpty());
    EXPECT_EQ(f.scalar("SELECT COUNT(*) FROM REK2_ANAL"), "0");
    EXPECT_EQ(f.scalar("SELECT COUNT(*) FROM REK2_DOG WHERE ID_REK2_ANAL > 0 AND XML_FILE IS NULL"), "0");
}

// A summary written anew holds just the rows re-grouping read; a correction
// record that is only updated can also hold rows of another period, and
// those count as well.
TEST(CollectionRun, DuplicateTaxNumbersOfACorrectionRecordCountItsOtherRows)
{
    CollectFixture f;
    f.addHolderPayout(106, "Anja", "Novak", "11111111", "S", 8, 1030, 4);
    f.op.abortIgnoreAnswers.push_back(true);
    CollectionRun(f.ctx).bNaborClick();
    const QString zbir = f.scalar("SELECT ID_REK2_ZBIR FROM REK2_ANAL WHERE NAZIV = 'Anja Novak'");
    f.db.exec("UPDATE REK2_ZBIR SET CORRECTIONTYPE = 'X' WHERE ID_REK2_ZBIR = " + zbir);
    // Cene Zupan's row of an earlier payout day, still pointing at it.
    f.db.exec("INSERT INTO REK2_ANAL (ID_REK2_ANAL, ID_REK2_ZBIR, DVS, NAZIV, REZ, DATUM_IZP_DIV, SFKPN) "
              "VALUES (9001, " +
              zbir + ", '33333333', 'Cene Zupan', 'R', '2009-05-04', 501)");

    f.op.abortIgnoreAnswers.push_back(true);
    EXPECT_EQ(CollectionRun(f.ctx).bNaborClick(), CollectionRun::Outcome::Finished);
    ASSERT_EQ(f.op.shown.size(), 2u);
    EXPECT_EQ(f.op.shown[1].text.toStdString(), "Podvojene davčne številke:\n\n11111111 (2)\n33333333 (2)");
    EXPECT_EQ(f.scalar("SELECT COUNT(*) FROM REK2_ANAL WHERE ID_REK2_ZBIR = " + zbir).toStdString(), "5");
}

TEST(CollectionRun, EuroChangeoverBinding)
{
    CollectFixture f;
    struct Case
    {
        QDate from, to;
        int value;
    };
    const Case cases[] = {
        {QDate(2006, 12, 1), QDate(2006, 12, 31), 1},
        {QDate(2006, 12, 30), QDate(2007, 1, 2), 978},
        {QDate(2007, 1, 1), QDate(2007, 1, 1), 978},
    };
    for (const auto& c : cases) {
        f.period(c.from, c.to);
        EXPECT_EQ(CollectionRun::sfVpGotEur(f.ctx), c.value) << c.from.toString().toStdString();
    }
    f.db.exec("DELETE FROM EUROOBD");
    EXPECT_EQ(CollectionRun::sfVpGotEur(f.ctx), 0);
}

TEST(CollectionRun, BeforeTheChangeoverTheCashCodeOfTheOldCurrencyCounts)
{
    // A payout of 2006: withholding in the old currency's cash code 1 is
    // taken from the cash amount, the USD one from LOT over the rate.
    CollectFixture f;
    f.db.exec("UPDATE DOG SET DAN = '2006-06-15' WHERE IDDOG IN (1001, 1010)");
    f.db.exec(
        "UPDATE DOG SET DAN = '2006-06-15', ZPD = '2006-06-15', SFVPGOT = 1, GOT = -9600 WHERE IDDOG = 2001");
    f.db.exec("UPDATE DOG SET DAN = '2006-06-15', ZPD = '2006-06-15' WHERE IDDOG = 2010");
    f.period(QDate(2006, 6, 15), QDate(2006, 6, 15));
    CollectionRun(f.ctx).bNaborClick();
    EXPECT_EQ(
        f.analyticRows(),
        (QStringList{
            "Ana Novak|11111111||R|SI|1|5700|200.00|9600.00|9600.00|0.00|1920|2006-06-15|2006-06-15|O|501|"
            "KRKG|Ana|Novak|N|0",
            "Ana Novak|11111111||R|SI|1|5700|61.72|12.34|12.34|3.09|1920|2006-06-15|2006-06-15|O|504|"
            "OMV|Ana|Novak|N|0"}));
    // The rate in force in 2006 is the older 25 %, which also gives Ana a
    // credit of 15.43 - 12.34 on the foreign dividend.
    EXPECT_EQ(f.scalar("SELECT STOPNJA FROM REK2_ZBIR WHERE SFKPN = 501"), "25");
}

TEST(CollectionRun, ZeroWithholdingOnThePayoutDayIsReported)
{
    // An exempt holder: a withholding event on the payout day with no tax.
    CollectFixture f;
    f.addHolderPayout(107, "Eva", "Horvat", "66666666", "S", 9, 1040, 0);
    CollectionRun(f.ctx).bNaborClick();
    CollectionRun(f.ctx).bNaborClick();
    EXPECT_EQ(f.analyticRows().count("Eva Horvat|66666666||R|SI|1|5700|20.00|0.00|0.00|0.00|1920|2009-06-15|"
                                     "2009-06-15|O|501|KRKG|Eva|Horvat|N|0"),
              1);
    EXPECT_TRUE(f.links().contains("1040|D|O|Eva Horvat|501|1"));
}
