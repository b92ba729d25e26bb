#include "collect/collection_run.h"
#include "collect/registry_fixture.h"
#include "db/error.h"

#include <gtest/gtest.h>

using namespace rek2;
using namespace rek2::collect;
using rek2::test::CollectFixture;

namespace {

// Runs the collection expecting it to end with an error; returns its message.
QString failingRun(CollectFixture& f, RunHooks hooks = {})
{
    try {
        CollectionRun(f.ctx, hooks).bNaborClick();
    } catch (const DbError& e) {
        EXPECT_FALSE(f.op.busy) << "busy indicator left on";
        EXPECT_EQ(f.op.busyLog.value(f.op.busyLog.size() - 1), "hide");
        return e.message();
    }
    ADD_FAILURE() << "the run did not fail";
    return QString();
}

} // namespace

TEST(CollectionBadInput, WithholdingCodesMissingOrMalformed)
{
    for (const char* codes : {"", "'601') OR ('1'='1"}) {
        CollectFixture f;
        f.ctx.settings.FHasBrutoDiv = true;
        f.ctx.settings.SfDogDvcOdt = QString::fromUtf8(codes);
        bool parameters = false;
        RunHooks hooks;
        hooks.showParametersTab = [&] { parameters = true; };
        EXPECT_EQ(failingRun(f, hooks), "Vnesite šifre dogodkov za davčni odtegljaj!") << codes;
        EXPECT_TRUE(parameters);
        EXPECT_EQ(f.scalar("SELECT COUNT(*) FROM REK2_DOG"), "0");
    }
}

TEST(CollectionBadInput, FirstReportingDayThatIsNoDate)
{
    CollectFixture f;
    CollectionRun(f.ctx).bNaborClick();
    f.ctx.settings.FDanZacetka = QDate(); // "DANZACETKA" held no date
    f.period(QDate(2009, 7, 10), QDate(2009, 7, 10));
    EXPECT_TRUE(failingRun(f).contains("DANZACETKA"));
    // The steps before re-grouping stay: the tax link and its row are there,
    // the row waits for its summary.
    EXPECT_EQ(f.scalar("SELECT COUNT(*) FROM REK2_DOG WHERE ID_DOG = 1012 AND DAVCNI_ODTEGLJAJ = 'D'"), "1");
    EXPECT_EQ(f.scalar("SELECT ID_REK2_ZBIR FROM REK2_ANAL WHERE DATUM_PLC_DVK = '2009-07-10'"), "0");
    EXPECT_EQ(f.scalar("SELECT COUNT(*) FROM REK2_ZBIR"), "0");
}

TEST(CollectionBadInput, MissingRateRollsBackTheStep)
{
    // No rate of the coupon's kind at all, or none yet on the payout day
    // while the other kind has one.
    for (const char* change :
         {"DELETE FROM DVK_STP WHERE TIP = 'O'", "UPDATE DVK_STP SET DAN = '2009-06-16' WHERE TIP = 'O'"}) {
        CollectFixture f;
        f.db.exec(change);
        EXPECT_EQ(failingRun(f), "Ni davčne stopnje (DVK_STP) za VP RS33, kupon 503 na dan 15.06.2009!")
            << change;
        EXPECT_EQ(f.scalar("SELECT COUNT(*) FROM REK2_DOG"), "0");
        EXPECT_EQ(f.scalar("SELECT COUNT(*) FROM REK2_ANAL"), "0");
    }
}

TEST(CollectionBadInput, PayoutWithoutItsCouponRow)
{
    CollectFixture f;
    f.db.exec("INSERT INTO DOG (IDDOG, SFDOG, SFPDG, DAN, IDPOG, SFKPN, SFVP, LOT, TCJVLT, OBRVLT) VALUES "
              "(1020, '500', '=', '2009-06-15', 1, 599, 1, 10, 1, 2)");
    EXPECT_EQ(failingRun(f),
              "Bruto znesek izplačila ni izračunan (manjka kupon): VP KRKG, datum 15.06.2009, Ana Novak!");
    EXPECT_EQ(f.scalar("SELECT COUNT(*) FROM REK2_DOG"), "0");
    EXPECT_EQ(f.scalar("SELECT COUNT(*) FROM REK2_ANAL"), "0");
}

TEST(CollectionBadInput, PayoutWithoutItsSecurityRowIsCollectedOnce)
{
    // The coupon is known, its security is not: the row goes in without a
    // security code (an issuer unknown counts as foreign) and is recognised
    // on the next run.
    CollectFixture f;
    f.db.exec("INSERT INTO KPN (SFKPN, SFVP, SFOBR, OBROBRBRT, STKPN) VALUES (507, 9, 'O', 1.00, 1)");
    f.db.exec("INSERT INTO DOG (IDDOG, SFDOG, SFPDG, DAN, IDPOG, SFKPN, SFVP, LOT, TCJVLT, OBRVLT) VALUES "
              "(1021, '500', '=', '2009-06-15', 2, 507, 9, 10, 1, 1)");
    CollectionRun(f.ctx).bNaborClick();
    CollectionRun(f.ctx).bNaborClick();
    const QString row =
        "Bor Kranjc|22222222||R|SI|1|5400|10.00|||2.50|1901|2009-06-15||O|507||Bor|Kranjc|N|0";
    EXPECT_EQ(f.analyticRows().count(row), 1);
    EXPECT_TRUE(f.links().contains("1021|N|O|Bor Kranjc|507|1"));
    EXPECT_FALSE(f.op.busy);
}

TEST(CollectionBadInput, LinkMatchingTwoRowsFailsAndRollsBack)
{
    // Two persons that agree in tax number and name but not in residence give
    // two rows of one return; their links cannot tell which row is theirs.
    CollectFixture f;
    f.ctx.settings.FREK_5700_neRez = true;
    f.addHolderPayout(108, "Ana", "Novak", "11111111", "A", 10, 1050, 3);
    f.op.abortIgnoreAnswers.push_back(true);
    EXPECT_TRUE(failingRun(f).startsWith("Dogodek 1001 ustreza več analitičnim vrsticam"));
    EXPECT_EQ(f.scalar("SELECT COUNT(*) FROM REK2_DOG WHERE COALESCE(ID_REK2_ANAL, 0) = 0"), "12");
}
