#include "batch/demo_generator.h"
#include "batch/tax_number.h"
#include "run_batch.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using rek2::test::runBatchCommand;

namespace {

constexpr int kHolders = 150;

// One small demo registry for the whole suite: generating it is the expensive part.
class DemoRegistry : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        home_ = std::make_unique<QTemporaryDir>();
        const auto r =
            runBatchCommand({home_->filePath("demo.db"), "operater", "geslo", "init", "--demo", "--holders",
                             QString::number(kHolders), "--days", "6", "--from", "2026-11-23", "--seed", "7"},
                            home_->path());
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "demo-suite");
        db.setDatabaseName(home_->filePath("demo.db"));
        ASSERT_TRUE(db.open());
    }
    static void TearDownTestSuite()
    {
        QSqlDatabase::database("demo-suite").close();
        QSqlDatabase::removeDatabase("demo-suite");
        home_.reset();
    }

    static QVariant scalar(const QString& sql)
    {
        QSqlQuery q(QSqlDatabase::database("demo-suite"));
        EXPECT_TRUE(q.exec(sql)) << sql.toStdString();
        return q.next() ? q.value(0) : QVariant();
    }

    static std::unique_ptr<QTemporaryDir> home_;
};

std::unique_ptr<QTemporaryDir> DemoRegistry::home_;

// Payouts with their withholding event (when there is one).
const char* const kPayouts = "FROM DOG D JOIN POG P ON P.IDPOG = D.IDPOG "
                             "JOIN OSB O ON O.SFOSB = COALESCE(D.SFOSBDVK, P.SFOSB) "
                             "JOIN SFVP V ON V.SFVP = D.SFVP JOIN KPN K ON K.SFKPN = D.SFKPN "
                             "LEFT JOIN DOGLNK L ON L.IDDOGMASTER = D.IDDOG AND L.SFLNK = 'R' "
                             "LEFT JOIN DOG W ON W.IDDOG = L.IDDOGDETAIL "
                             "WHERE D.SFPDG IN ('=', '@') ";

} // namespace

TEST_F(DemoRegistry, PassesTheIntegrityCheck)
{
    EXPECT_EQ(scalar("PRAGMA integrity_check").toString(), "ok");
}

// Every branch of the collection has data to pick up.
TEST_F(DemoRegistry, CoversEveryKindOfPayoutTheCollectionTellsApart)
{
    const struct
    {
        const char* what;
        const char* where;
    } cases[] = {
        {"resident of class F", "AND O.SFSOS = 'F' AND COALESCE(O.SFDRZDVK, O.SFDRZ) = 'S'"},
        {"non-resident of class F", "AND O.SFSOS = 'F' AND COALESCE(O.SFDRZDVK, O.SFDRZ) <> 'S'"},
        {"home address, taxed abroad", "AND O.SFDRZ = 'S' AND O.SFDRZDVK <> 'S'"},
        {"foreign address, taxed at home", "AND O.SFDRZ <> 'S' AND O.SFDRZDVK = 'S'"},
        {"foreign tax number", "AND O.DVSTUJ IS NOT NULL"},
        {"second foreign number only", "AND O.DVSTUJ IS NULL AND O.DVSZDA IS NOT NULL"},
        {"person not of class F", "AND O.SFSOS <> 'F'"},
        {"tax withheld on the payout day", "AND W.ZPD = D.DAN AND W.LOT > 0"},
        {"tax paid on a later day", "AND W.ZPD > D.DAN AND W.LOT > 0"},
        {"no withholding link", "AND L.IDDOGMASTER IS NULL"},
        {"withheld as zero", "AND W.LOT = 0"},
        {"dividend of a domestic issuer",
         "AND K.SFOBR = 'D' AND V.SFOSBIZD IN (SELECT SFOSB FROM OSB WHERE SFDRZ = 'S')"},
        {"dividend of a foreign issuer",
         "AND K.SFOBR = 'D' AND V.SFOSBIZD IN (SELECT SFOSB FROM OSB WHERE SFDRZ <> 'S')"},
        {"interest", "AND K.SFOBR = 'O' AND D.SFPDG = '@'"},
        {"SOS2E", "AND V.KRT = 'SOS2E'"},
        {"SOS2E_S", "AND V.KRT = 'SOS2E_S'"},
        {"foreign currency", "AND D.SFVPGOT <> 978 AND D.TCJVLT <> 1 AND W.SFVPGOT = D.SFVPGOT"},
        {"reduced rate", "AND D.DAVEKRAZPOBR < D.DAVEKRAZP"},
        {"person taxed instead of the owner", "AND D.SFOSBDVK IS NOT NULL AND D.SFOSBDVK <> P.SFOSB"},
        {"tax status 0", "AND D.DAVEKSTATUS = '0'"},
        {"tax status empty", "AND D.DAVEKSTATUS IS NULL"},
        {"percent-quoted with its companion",
         "AND D.SFGLVENT = '%' AND EXISTS (SELECT 1 FROM DOG C WHERE C.IDDOG = D.IDDOGGOT AND C.SFPDG = 'O' "
         "AND C.OBRVLT <> 0 AND C.REVVLT <> 0)"},
    };
    for (const auto& c : cases)
        EXPECT_GT(scalar(QStringLiteral("SELECT COUNT(*) ") + kPayouts + c.where).toInt(), 0) << c.what;

    // Collection (standard variant) takes only payouts with a per-unit amount.
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) ") + kPayouts + "AND COALESCE(D.OBRVLT, 0) = 0").toInt(),
              0);
}

TEST_F(DemoRegistry, AmountsAddUp)
{
    // Net cash is gross less the tax withheld; the tax is the rate applied to the gross.
    EXPECT_EQ(
        scalar(QStringLiteral("SELECT COUNT(*) ") + kPayouts +
               "AND D.SFGLVENT IS NULL AND ABS(D.GOT - (D.LOT * K.OBROBRBRT - COALESCE(W.LOT, 0))) > 0.006")
            .toInt(),
        0);
    EXPECT_EQ(
        scalar(QStringLiteral("SELECT COUNT(*) ") + kPayouts +
               "AND D.SFGLVENT = '%' AND ABS(D.LOT * (SELECT C.OBRVLT + C.REVVLT FROM DOG C WHERE C.IDDOG = "
               "D.IDDOGGOT) - D.GOT - COALESCE(W.LOT, 0)) > 0.006")
            .toInt(),
        0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) ") + kPayouts +
                     "AND D.DAVEKRAZPOBR < D.DAVEKRAZP AND W.LOT > 0 "
                     "AND ABS(W.LOT - ROUND(D.LOT * K.OBROBRBRT * D.DAVEKRAZPOBR / 100, 2)) > 0.006 "
                     "AND D.SFGLVENT IS NULL")
                  .toInt(),
              0);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM DOG WHERE SFPDG = '-' AND (GOT <> -LOT OR ZPD IS NULL)").toInt(),
              0);
    // Stored types: amounts are REAL, dates ISO text.
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM DOG WHERE typeof(LOT) = 'integer' OR typeof(GOT) = 'integer' OR "
                     "DAN NOT GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]'")
                  .toInt(),
              0);
}

TEST_F(DemoRegistry, WithholdingCodesMatchTheInstallationSetting)
{
    QSqlQuery q(QSqlDatabase::database("demo-suite"));
    ASSERT_TRUE(q.exec("SELECT DISTINCT W.SFDOG FROM DOGLNK L JOIN DOG W ON W.IDDOG = L.IDDOGDETAIL "
                       "WHERE L.SFLNK = 'R' ORDER BY 1"));
    QStringList codes;
    while (q.next())
        codes << "'" + q.value(0).toString() + "'";
    EXPECT_EQ(codes.join(','), rek2::batch::demoWithholdingCodes());

    QFile ini(home_->filePath("rek2.ini"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(ini.readAll());
    EXPECT_TRUE(text.startsWith("[Splošno]"));
    EXPECT_TRUE(text.contains("SfDogDvcOdt=" + rek2::batch::demoWithholdingCodes()));
}

TEST_F(DemoRegistry, ParameterRowsAndCodeTables)
{
    const struct
    {
        const char* sql;
        const char* expected;
    } cases[] = {
        {"SELECT NZV FROM REK2_SIF WHERE SSF = 'NAZIV_IZP'", "Vrednostni register Savinja d.d."},
        {"SELECT NZV FROM OSB WHERE SFOSB = 2", "Vrednostni register Savinja d.d."},
        {"SELECT DVS FROM OSB WHERE SFOSB = 2", "12345679"},
        {"SELECT NZV FROM REK2_SIF WHERE SSF = 'DANZACETKA'", "01.07.2008"},
        {"SELECT NZV FROM REK2_SIF WHERE SSF = 'STATUS' AND SIF = 'O'", "Original"},
        {"SELECT VREDNOST FROM INISET WHERE KLJUC = 'HasBrutoDividende'", "N"},
        {"SELECT VREDNOST FROM INISET WHERE KLJUC = 'REK_5700_neRez'", "D"},
        {"SELECT COUNT(*) FROM REK2_IMPORT_PARAMS", "1"},
        {"SELECT DANOD || ' ' || SFVPFROM FROM EUROOBD WHERE OZNAKA = 'ES'", "2007-01-01 978"},
        {"SELECT KRT FROM SFVP WHERE SFVP = 978", "EUR"},
        {"SELECT GROUP_CONCAT(SFDRZ || SFDRZBNK, ' ') FROM (SELECT * FROM DRZ WHERE SFDRZ IN ('S', 'A', 'H', "
         "'D') "
         "ORDER BY SFDRZ)",
         "AAT DDE HHR SSI"},
        // The domestic rates in force on a demo day, for dividends and interest.
        {"SELECT STOPNJA FROM DVK_STP WHERE SFDRZ = 'S' AND TIP = 'D' AND DAN = (SELECT MAX(DAN) FROM "
         "DVK_STP "
         "WHERE SFDRZ = 'S' AND TIP = 'D' AND DAN <= '2026-11-23')",
         "25"},
        {"SELECT COUNT(DISTINCT DAN) FROM DVK_STP WHERE SFDRZ = 'S' AND TIP = 'O'", "2"},
        {"SELECT COUNT(*) FROM REK2_ANAL", "0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(scalar(c.sql).toString(), QString::fromUtf8(c.expected)) << c.sql;
}

TEST_F(DemoRegistry, PersonsHaveValidUniqueTaxNumbersAndSlovenianNames)
{
    QSqlQuery q(QSqlDatabase::database("demo-suite"));
    ASSERT_TRUE(q.exec("SELECT DVS FROM OSB WHERE DVS IS NOT NULL"));
    int count = 0;
    while (q.next()) {
        ++count;
        EXPECT_TRUE(rek2::isValidTaxNumber(q.value(0).toString())) << q.value(0).toString().toStdString();
    }
    EXPECT_GT(count, kHolders / 2);
    EXPECT_EQ(scalar("SELECT COUNT(*) - COUNT(DISTINCT DVS) FROM OSB WHERE DVS IS NOT NULL").toInt(), 0);
    for (const char* letter : {"č", "š", "ž"})
        EXPECT_GT(scalar(QStringLiteral("SELECT COUNT(*) FROM OSB WHERE SFDRZ = 'S' AND SFSOS = 'F' AND "
                                        "(NZV || IME || NSL) LIKE '%%1%'")
                             .arg(QString::fromUtf8(letter)))
                      .toInt(),
                  0)
            << letter;
}

TEST_F(DemoRegistry, LargeDividendPaysEveryHolderOnItsDay)
{
    EXPECT_EQ(scalar("SELECT MAX(N) FROM (SELECT COUNT(*) AS N FROM DOG WHERE SFPDG IN ('=', '@') "
                     "GROUP BY SFKPN, DAN)")
                  .toInt(),
              kHolders);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM OSB WHERE SFOSB >= 100000").toInt(), kHolders);
}

TEST(DemoDeterminism, SameSeedSameRegistryOtherSeedOtherRegistry)
{
    QTemporaryDir home;
    auto make = [&](const QString& name, const QString& seed) {
        const auto r = runBatchCommand({home.filePath(name), "u", "g", "init", "--demo", "--holders", "40",
                                        "--days", "3", "--from", "2026-06-01", "--seed", seed},
                                       home.path());
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
    };
    make("a.db", "11");
    make("b.db", "11");
    make("c.db", "12");
    auto dump = [&](const QString& name) {
        QString text;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "dump");
            db.setDatabaseName(home.filePath(name));
            EXPECT_TRUE(db.open());
            for (const char* table : {"OSB", "POG", "DOG", "DOGLNK", "KPN", "SFVP", "DVK_STP", "REK2_SIF"}) {
                QSqlQuery q(db);
                EXPECT_TRUE(q.exec(QStringLiteral("SELECT * FROM %1 ORDER BY 1, 2").arg(table)));
                while (q.next())
                    for (int i = 0; i < q.record().count(); ++i)
                        text += q.value(i).toString() + u'|';
                text += u'\n';
            }
        }
        QSqlDatabase::removeDatabase("dump");
        return text;
    };
    const QString a = dump("a.db");
    EXPECT_GT(a.size(), 1000);
    EXPECT_EQ(a, dump("b.db"));
    EXPECT_NE(a, dump("c.db"));
}

// The collection, run over the whole demo period, takes something from every
// branch of its statements.
TEST(DemoCollection, EveryBranchOfTheCollectionFindsRows)
{
    QTemporaryDir home;
    const QString db = home.filePath("demo.db");
    auto run = [&](const QStringList& args) {
        const auto r = runBatchCommand(QStringList{db, "operater", "geslo"} + args, home.path());
        EXPECT_EQ(r.code, 0) << args.join(' ').toStdString() << ": " << r.err.toStdString();
    };
    run({"init", "--demo", "--holders", "120", "--days", "5", "--from", "2026-11-23", "--seed", "3"});
    run({"collect", "--from", "2026-11-23", "--to", "2026-11-27", "--ignore-duplicates"});

    QSqlDatabase c = QSqlDatabase::addDatabase("QSQLITE", "demo-collect");
    c.setDatabaseName(db);
    ASSERT_TRUE(c.open());
    const struct
    {
        const char* what;
        const char* where;
    } cases[] = {
        {"dividends", "SIF_SFDOH = '5700' AND SIF_VRSTE_DOH = '1920'"},
        {"SOS2E interest", "SIF_SFDOH = '5600' AND SIF_VRSTE_DOH = '1902'"},
        {"other interest", "SIF_SFDOH = '5400' AND SIF_VRSTE_DOH = '1901'"},
        {"percent-quoted bond", "SFVP = 'RS99' AND BRUTO > 0"},
        {"residents", "REZ = 'R' AND DRZ = 'SI'"},
        {"non-residents", "REZ = 'N' AND DRZ <> 'SI'"},
        {"foreign identification", "REZ = 'N' AND IDENT_ST IS NOT NULL"},
        {"tax on the payout day", "DATUM_PLC_DVK = DATUM_IZP_DIV AND DAV_ODT_PLC > 0"},
        {"tax paid later", "DATUM_PLC_DVK > DATUM_IZP_DIV AND DAV_ODT_PLC > 0"},
        {"no withholding", "DATUM_PLC_DVK IS NULL AND DAV_ODT_OBR IS NULL"},
        {"reduced rate", "ZNIZANASTOPNJA = 'D'"},
        {"foreign tax credit", "DAV_ODT_ODB_TUJ > 0"},
    };
    for (const auto& k : cases) {
        QSqlQuery q(c);
        ASSERT_TRUE(q.exec(QStringLiteral("SELECT COUNT(*) FROM REK2_ANAL WHERE ") + k.where));
        ASSERT_TRUE(q.next());
        EXPECT_GT(q.value(0).toInt(), 0) << k.what;
    }
    QSqlQuery q(c);
    ASSERT_TRUE(q.exec("SELECT GROUP_CONCAT(DISTINCT CORRECTIONTYPE) FROM REK2_ZBIR"));
    ASSERT_TRUE(q.next());
    EXPECT_TRUE(q.value(0).toString().contains('D')); // second parts for the tax paid later
    q.finish();
    c.close();
    c = QSqlDatabase();
    QSqlDatabase::removeDatabase("demo-collect");
}
