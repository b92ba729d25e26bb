#include "collect/summary_fields.h"
#include "edit/nabor_actions.h"
#include "edit_db.h"
#include "returns/working_fields.h"
#include "returns/working_statements.h"

#include <gtest/gtest.h>

using namespace rek2;
using rek2::test::EditDb;

namespace {

// Answers for the record editor and remembers how it was asked.
struct FakeEditor : RecordEditor
{
    struct Call
    {
        QString editable;
        QDateTime date;
        int coupon = -1;
        QString security;
        QString lookup;
        DataSetState state;
    };
    std::vector<Call> calls;
    int result = 2;

    int edit(DataSet& ds, const QString& editable, const QDateTime& date, int coupon, const QString& security,
             bool, const QString& lookup) override
    {
        calls.push_back({editable, date, coupon, security, lookup, ds.State()});
        if (ds.State() == DataSetState::Insert)
            ds.Cancel();
        return result;
    }
};

class Nabor : public ::testing::Test
{
protected:
    EditDb db;
    FakeEditor editor;
    bool deleteSummaryEnabled = false;
    NaborActions actions{db.ctx, editor, {{}, [this](bool on) { deleteSummaryEnabled = on; }}};

    void SetUp() override
    {
        db.ctx.datumOd = db.ctx.datumDo = QDate(2026, 12, 10);
        db.exec("INSERT INTO SFVP (SFVP, KRT) VALUES (1, 'KRKG')");
        db.exec("INSERT INTO KPN (SFKPN, SFVP, SFOBR, STKPN) VALUES (77, 1, 'D', 3)");
        defineAnalyticFields(db.ctx.odsNabor);
        defineSummaryFields(db.ctx.odsREK2_Zbir);
        collect::installSummaryCalcFields(db.ctx, db.ctx.odsREK2_Zbir);
    }

    void link(int idAnal, int idDog, const char* xmlFile)
    {
        db.exec(
            QStringLiteral("INSERT INTO REK2_DOG (ID_REK2_ANAL, ID_DOG, XML_FILE, STATUS, DAVCNI_ODTEGLJAJ) "
                           "VALUES (%1, %2, %3, 'O', 'N')")
                .arg(idAnal)
                .arg(idDog)
                .arg(xmlFile ? QStringLiteral("'%1'").arg(xmlFile) : QStringLiteral("NULL")));
    }

    void summary(int id, const char* type, const char* durs = nullptr)
    {
        db.exec(QStringLiteral(
                    "INSERT INTO REK2_ZBIR (ID_REK2_ZBIR, CORRECTIONTYPE, DURS_ID_DOK, DATUM_IZP, SFVP, "
                    "SFKPN, SIF_VRSTE_DOH) VALUES (%1, '%2', %3, '2026-12-10', 'KRKG', 77, '1901')")
                    .arg(id)
                    .arg(type)
                    .arg(durs ? QStringLiteral("'%1'").arg(durs) : QStringLiteral("NULL")));
    }

    QList<int> ids(const QString& sql)
    {
        QList<int> out;
        QSqlQuery q(db.fx.db());
        q.exec(sql);
        while (q.next())
            out << q.value(0).toInt();
        return out;
    }
};

TEST_F(Nabor, ShowOnARangeWithoutRowsEmptiesBothGrids)
{
    db.exec(test::analRow(1, 0));
    actions.SpeedButton2Click();
    ASSERT_TRUE(db.ctx.odsREK2_Zbir.Active());
    EXPECT_EQ(db.ctx.odsREK2_Zbir.RecordCount(), 1);
    EXPECT_EQ(db.ctx.odsNabor.RecordCount(), 1);

    db.ctx.datumOd = db.ctx.datumDo = QDate(2026, 12, 11);
    actions.SpeedButton2Click();
    EXPECT_FALSE(db.ctx.odsREK2_Zbir.Active());
    EXPECT_FALSE(db.ctx.odsNabor.Active());
}

TEST_F(Nabor, DeletingARowKeepsTheLinkAlreadyReportedInAFile)
{
    db.exec(test::analRow(1, 0));
    db.exec(test::analRow(2, 0));
    link(1, 10, "REK2_a.xml");
    link(1, 11, nullptr);
    link(2, 12, nullptr);
    actions.SpeedButton2Click();
    ASSERT_TRUE(db.ctx.odsNabor.Locate("ID_REK2_ANAL", {1}));

    db.op.opozoriloAnswers = {2}; // "Preklic" first
    actions.SpeedButton4Click();
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM REK2_ANAL"), 2);

    ASSERT_TRUE(db.ctx.odsNabor.Locate("ID_REK2_ANAL", {1}));
    actions.SpeedButton4Click();
    ASSERT_EQ(db.op.shown.size(), 2u);
    EXPECT_EQ(db.op.shown[1].text, "Prosim potrdi brisanje analitike?");
    EXPECT_EQ(db.op.shown[1].buttons, QStringList({"V redu", "Preklic"}));
    EXPECT_EQ(ids("SELECT ID_REK2_ANAL FROM REK2_ANAL"), QList<int>{2});
    EXPECT_EQ(ids("SELECT ID_DOG FROM REK2_DOG ORDER BY ID_DOG"), QList<int>({10, 12}));
    EXPECT_FALSE(db.session.InTransaction());
    // The remaining row is regrouped and shown.
    EXPECT_EQ(db.ctx.odsREK2_Zbir.RecordCount(), 1);
    EXPECT_EQ(db.ctx.odsNabor.RecordCount(), 1);
}

TEST_F(Nabor, DeletingTheLastRowDropsTheRebuiltSummariesButNotCorrections)
{
    db.exec(test::analRow(1, 0));
    actions.SpeedButton2Click();
    summary(900, "S");
    summary(901, "X");
    openSummarySelectionAll(db.ctx.odsREK2_Zbir); // as loaded at start-up
    EXPECT_EQ(db.ctx.odsREK2_Zbir.RecordCount(), 3);

    actions.SpeedButton4Click();
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM REK2_ANAL"), 0);
    EXPECT_EQ(ids("SELECT ID_REK2_ZBIR FROM REK2_ZBIR ORDER BY 1"), QList<int>({900, 901}));
    EXPECT_TRUE(db.ctx.odsNabor.IsEmpty());
}

TEST_F(Nabor, DeletingASummaryOnlyWhenItIsFree)
{
    summary(5, "O");
    summary(6, "O", "EDP-12345678-1");
    db.exec(test::analRow(1, 5));
    db.exec(test::analRow(2, 6));
    link(1, 10, "REK2_a.xml");
    link(1, 11, nullptr);
    link(2, 12, nullptr);
    openSummarySelection(db.ctx.odsREK2_Zbir, "5, 6");

    ASSERT_TRUE(db.ctx.odsREK2_Zbir.Locate("ID_REK2_ZBIR", {6}));
    actions.dbgZbirniCellClick(true);
    EXPECT_FALSE(deleteSummaryEnabled);
    actions.SpeedButton6Click(); // reached anyway: asks, deletes nothing, says nothing more
    EXPECT_EQ(db.op.shown.size(), 1u);
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM REK2_ANAL"), 2);
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM REK2_ZBIR"), 2);

    ASSERT_TRUE(db.ctx.odsREK2_Zbir.Locate("ID_REK2_ZBIR", {5}));
    actions.dbgZbirniCellClick(true);
    EXPECT_TRUE(deleteSummaryEnabled);
    EXPECT_EQ(db.ctx.odsNabor.RecordCount(), 1); // the summary's own rows
    actions.dbgZbirniExit(false);
    EXPECT_FALSE(deleteSummaryEnabled);

    actions.SpeedButton6Click();
    EXPECT_EQ(
        db.op.shown.back().text,
        QString::fromUtf8("Prosim potrdi brisanje zbirnega zapisa na dan: 10.12.2026 za VP:KRKG Kupon:3\r\n"
                          " in vseh pripadajočih analitičnih zapisov?"));
    EXPECT_EQ(ids("SELECT ID_REK2_ANAL FROM REK2_ANAL"), QList<int>{2});
    EXPECT_EQ(ids("SELECT ID_DOG FROM REK2_DOG ORDER BY ID_DOG"), QList<int>({10, 12}));
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM REK2_ZBIR WHERE ID_REK2_ZBIR = 5"), 0);
    EXPECT_FALSE(db.session.InTransaction());
    EXPECT_FALSE(db.ctx.odsREK2_Zbir.ControlsDisabled());
}

TEST_F(Nabor, NewRowWhileTheAnalyticGridIsClosed)
{
    actions.SpeedButton3Click();
    ASSERT_EQ(editor.calls.size(), 1u);
    EXPECT_EQ(editor.calls[0].state, DataSetState::Insert);
    EXPECT_EQ(editor.calls[0].editable, "");
    EXPECT_EQ(editor.calls[0].security, "");
    EXPECT_EQ(editor.calls[0].coupon, 0);
    EXPECT_EQ(editor.calls[0].date.date(), QDate(2026, 12, 10));

    // With the grid open the current row gives the coupon and security.
    db.exec(test::analRow(1, 0));
    actions.SpeedButton2Click();
    actions.SpeedButton3Click();
    EXPECT_EQ(editor.calls[1].security, "KRKG");
    EXPECT_EQ(editor.calls[1].coupon, 77);
}

TEST_F(Nabor, CancellationsAreNotEdited)
{
    summary(900, "S");
    db.exec(test::analRow(1, 900));
    openSummarySelection(db.ctx.odsREK2_Zbir, "900");
    openAnalyticWorking(db.ctx.odsNabor, db.ctx.datumOd, db.ctx.datumDo);
    actions.dbgNaborDblClick();
    actions.dbgZbirniDblClick();
    EXPECT_TRUE(editor.calls.empty());
    EXPECT_TRUE(db.ctx.odsREK2_Zbir.Active());

    summary(5, "O");
    db.exec("UPDATE REK2_ANAL SET ID_REK2_ZBIR = 5");
    openSummarySelection(db.ctx.odsREK2_Zbir, "5, 900");
    openAnalyticWorking(db.ctx.odsNabor, db.ctx.datumOd, db.ctx.datumDo);
    actions.dbgNaborDblClick();
    ASSERT_EQ(editor.calls.size(), 1u);
    EXPECT_EQ(editor.calls[0].editable,
              "DVS,IDENT_ST,IME,PRIIMEK,REZ,DRZ,UGO_MED_POG,SIF_SFDOH,BRUTO,DAV_ODT_OBR,DAV_ODT_PLC,"
              "DAV_ODT_ODB_TUJ,SIF_VRSTE_DOH,DATUM_IZP_DIV,DATUM_PLC_DVK");
    EXPECT_TRUE(editor.calls[0].lookup.isEmpty());
    ASSERT_TRUE(db.ctx.odsREK2_Zbir.Locate("ID_REK2_ZBIR", {5}));
    actions.dbgZbirniDblClick();
    ASSERT_EQ(editor.calls.size(), 2u);
    EXPECT_EQ(editor.calls[1].editable, "NAZIV,NASLOV,POOB_DVS,DAV_ZNZ_STP,SKUPAJ");
    EXPECT_EQ(editor.calls[1].lookup, "OSB(NAZIV,NASLOV,POOB_DVS)");
}

TEST_F(Nabor, EditedRowIsRegroupedAndShownWithItsNewSummary)
{
    db.exec(test::analRow(1, 0));
    db.exec(test::analRow(2, 0));
    db.exec("UPDATE REK2_ANAL SET SIF_VRSTE_DOH = '1902', SIF_SFDOH = '5600' WHERE ID_REK2_ANAL = 2");
    actions.SpeedButton2Click();
    ASSERT_EQ(db.ctx.odsREK2_Zbir.RecordCount(), 2);
    ASSERT_TRUE(db.ctx.odsREK2_Zbir.Locate("SIF_VRSTE_DOH", {"1902"}));
    actions.dbgZbirniCellClick(true);
    ASSERT_TRUE(db.ctx.odsNabor.Locate("ID_REK2_ANAL", {2}));

    // The operator turns row 2 into the first row's kind of income.
    struct : RecordEditor
    {
        int edit(DataSet& ds, const QString&, const QDateTime&, int, const QString&, bool,
                 const QString&) override
        {
            ds.Edit();
            ds.FieldByName("SIF_VRSTE_DOH")->SetAsString("1901");
            ds.FieldByName("SIF_SFDOH")->SetAsString("5400");
            ds.Post();
            return 1;
        }
    } changing;
    NaborActions(db.ctx, changing).dbgNaborDblClick();
    EXPECT_EQ(db.ctx.odsREK2_Zbir.RecordCount(), 1);
    EXPECT_EQ(db.ctx.odsNabor.RecordCount(), 2);
    EXPECT_EQ(db.ctx.odsNabor.FieldByName("ID_REK2_ANAL")->AsInteger(), 2);
}

} // namespace
