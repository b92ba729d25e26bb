#include "collect/collection_run.h"
#include "collect/registry_fixture.h"
#include "collect/regroup.h"
#include "collect/summary_fields.h"
#include "returns/working_statements.h"

#include <gtest/gtest.h>

using namespace rek2;
using namespace rek2::collect;
using rek2::test::CollectFixture;

TEST(Regroup, CorrectionKeepsItsIdentityAndGetsNewSums)
{
    CollectFixture f;
    CollectionRun(f.ctx).bNaborClick();
    const QString id = f.scalar("SELECT ID_REK2_ZBIR FROM REK2_ZBIR WHERE SFKPN = 502");
    f.db.exec(
        "UPDATE REK2_ZBIR SET CORRECTIONTYPE = 'X', DURS_ID_DOK = 'EDP-1', CORRECTIONFORDOCUMENT = 'EDP-0', "
        "NAZIV = 'Pooblaščenec' WHERE SFKPN = 502");
    f.db.exec("UPDATE REK2_ANAL SET BRUTO = 160 WHERE SFKPN = 502");
    const QString before = f.scalar("SELECT GROUP_CONCAT(ID_REK2_ZBIR) FROM REK2_ZBIR WHERE SFKPN <> 502");

    odsNaborAfterRefresh(f.ctx);

    EXPECT_EQ(
        f.scalar(
            "SELECT ID_REK2_ZBIR || '|' || CORRECTIONTYPE || '|' || DURS_ID_DOK || '|' || "
            "CORRECTIONFORDOCUMENT || '|' || NAZIV || '|' || ZAPST_DEL FROM REK2_ZBIR WHERE SFKPN = 502"),
        id + "|X|EDP-1|EDP-0|Pooblaščenec|1");
    EXPECT_EQ(f.scalar("SELECT DOH FROM REK2_ZBIR WHERE SFKPN = 502").toDouble(), 160.0);
    EXPECT_EQ(f.scalar("SELECT NETO FROM REK2_ZBIR WHERE SFKPN = 502").toDouble(), 122.5);
    EXPECT_EQ(f.scalar("SELECT ID_REK2_ZBIR FROM REK2_ANAL WHERE SFKPN = 502"), id);
    // The others were rebuilt under new identifiers, and both views show the period.
    EXPECT_NE(f.scalar("SELECT GROUP_CONCAT(ID_REK2_ZBIR) FROM REK2_ZBIR WHERE SFKPN <> 502"), before);
    EXPECT_EQ(f.scalar("SELECT COUNT(*) FROM REK2_ZBIR"), "6");
    EXPECT_EQ(f.ctx.odsREK2_Zbir.RecordCount(), 6);
    EXPECT_EQ(f.ctx.odsNabor.RecordCount(), 9);
}

TEST(Regroup, RefreshOfAnEmptyPeriodAndWhileCopying)
{
    CollectFixture f;
    CollectionRun(f.ctx).bNaborClick();

    // Copying a return for correction: the refresh leaves everything alone.
    f.ctx.FKopiranje = true;
    f.period(QDate(2009, 8, 1), QDate(2009, 8, 31));
    odsNaborAfterRefresh(f.ctx);
    EXPECT_EQ(f.scalar("SELECT COUNT(*) FROM REK2_ZBIR"), "6");

    // A period without rows: the view's summaries are gone, the views are empty.
    f.ctx.FKopiranje = false;
    std::vector<bool> attached;
    GridHooks hooks;
    hooks.attachSummaryGrid = [&](bool on) { attached.push_back(on); };
    odsNaborAfterRefresh(f.ctx, hooks);
    EXPECT_EQ(f.scalar("SELECT COUNT(*) FROM REK2_ZBIR"), "0");
    EXPECT_FALSE(f.ctx.odsREK2_Zbir.Active());
    EXPECT_EQ(f.ctx.odsNabor.RecordCount(), 0);
    EXPECT_EQ(attached, (std::vector<bool>{false, true}));

    // Back to June: the summaries come back.
    f.period(QDate(2009, 6, 15), QDate(2009, 6, 15));
    odsNaborAfterRefresh(f.ctx);
    EXPECT_EQ(f.ctx.odsREK2_Zbir.RecordCount(), 6);
}

TEST(Regroup, SummaryViewShowsCouponNumberAndPayer)
{
    CollectFixture f;
    f.ctx.settings.NazivIzp = "Klirinška družba";
    f.ctx.settings.NaslovIzp = "Tivolska 48, Ljubljana";
    f.ctx.settings.DvsIzp = "12345678";
    installSummaryCalcFields(f.ctx, f.ctx.odsREK2_Zbir);
    CollectionRun(f.ctx).bNaborClick();

    DataSet& view = f.ctx.odsREK2_Zbir;
    ASSERT_TRUE(view.Locate("SFKPN", {504}));
    EXPECT_EQ(view.FieldByName("STKPN")->AsInteger(), 21);
    EXPECT_EQ(view.FieldByName("STKPN")->DisplayLabel(), "Kupon");
    EXPECT_EQ(view.FieldByName("IZPLAC_NAZIV")->AsString(), "Klirinška družba");
    EXPECT_EQ(view.FieldByName("IZPLAC_NASLOV")->AsString(), "Tivolska 48, Ljubljana");
    EXPECT_EQ(view.FieldByName("IZPLAC_DVS")->AsString(), "12345678");
    // The grid's columns in their order, the coupon code hidden.
    EXPECT_EQ(view.Fields(0)->FieldName(), "SFVP");
    EXPECT_EQ(view.Fields(1)->FieldName(), "STKPN");
    EXPECT_FALSE(view.FieldByName("SFKPN")->Visible());
    EXPECT_EQ(view.FieldByName("SKUPAJ")->DisplayText(), "24,68");
}
