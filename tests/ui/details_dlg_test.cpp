#include "db/error.h"
#include "edit/edit_db.h"
#include "returns/working_fields.h"
#include "returns/working_statements.h"
#include "ui/editor/tfdetailsdlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace rek2;
using rek2::test::EditDb;

namespace {

const QString kPayer = QStringLiteral("12345678");

// Types into a generated editor as a person would.
void type(QLineEdit* e, const QString& text)
{
    ASSERT_NE(e, nullptr);
    e->setText(text);
    emit e->textEdited(text);
}

class DetailsDlg : public ::testing::Test
{
protected:
    EditDb db;
    // Declared before the dialog, so that they outlive it, as the window's
    // datasets outlive a dialog it shows.
    std::vector<std::unique_ptr<DataSet>> datasets;
    TfDetailsDlg dlg{db.op};

    DataSet* open(const QString& sql, const QString& payer = QString())
    {
        datasets.push_back(db.open(sql, payer));
        return datasets.back().get();
    }

    DataSet* openAnal(int id)
    {
        return open(
            QStringLiteral("select A.*, 27.5 as Stopnja, A.ROWID FROM REK2_ANAL A WHERE ID_REK2_ANAL = ") +
            QString::number(id));
    }

    // History summaries: 1 carries a number, 2 has none; 3 is a cancellation.
    void historySummaries()
    {
        db.exec("INSERT INTO REK2_ZBIR_HST (ID_REK2_ZBIR, DURS_ID_DOK, CORRECTIONTYPE, DATUM_PLC_DVK) "
                "VALUES (1, 'EDP-12345678-7', 'O', '2026-12-01')");
        db.exec("INSERT INTO REK2_ZBIR_HST (ID_REK2_ZBIR, CORRECTIONTYPE, DATUM_PLC_DVK) "
                "VALUES (2, 'O', '2020-01-01')");
        db.exec("INSERT INTO REK2_ZBIR_HST (ID_REK2_ZBIR, DURS_ID_DOK, CORRECTIONTYPE, DATUM_PLC_DVK) "
                "VALUES (3, 'EDP-12345678-9', 'S', '2026-12-01')");
    }

    DataSet* openHistory(int id)
    {
        return open(QStringLiteral("select Z.*, Z.ROWID FROM REK2_ZBIR_HST Z WHERE ID_REK2_ZBIR = ") +
                        QString::number(id),
                    kPayer);
    }
};

TEST_F(DetailsDlg, SummaryUseGeneratesEditorsLookupButtonsAndReadOnlyRules)
{
    db.exec("INSERT INTO REK2_ZBIR (ID_REK2_ZBIR, CORRECTIONTYPE, NAZIV, DOH) VALUES (5, 'O', 'Agent', 10)");
    DataSet* ds = open("select Z.*, Z.ROWID FROM REK2_ZBIR Z");
    dlg.Pripravi(ds, "NAZIV,NASLOV,POOB_DVS,DAV_ZNZ_STP,SKUPAJ", {}, 0, {}, false,
                 "OSB(NAZIV,NASLOV,POOB_DVS)");

    // 30 columns: 20 in the first column, 10 in the second.
    ASSERT_NE(dlg.editorFor("NAZIV"), nullptr);
    EXPECT_FALSE(dlg.editorFor("NAZIV")->isReadOnly());
    EXPECT_FALSE(dlg.editorFor("SKUPAJ")->isReadOnly());
    EXPECT_TRUE(dlg.editorFor("DOH")->isReadOnly());
    EXPECT_TRUE(dlg.editorFor("ID_REK2_ZBIR")->isReadOnly());
    EXPECT_TRUE(dlg.editorFor("DURS_ID_DOK")->isReadOnly());
    EXPECT_EQ(dlg.editorFor("NAZIV")->text(), "Agent");
    EXPECT_EQ(dlg.editorFor("DOH")->text(), "10,00");

    const int naziv = ds->FieldIndex("NAZIV");
    ASSERT_NE(dlg.lookupButtonAt(naziv), nullptr);
    EXPECT_EQ(dlg.lookupButtonAt(naziv)->text(), "OSB");
    EXPECT_NE(dlg.lookupButtonAt(ds->FieldIndex("POOB_DVS")), nullptr);
    EXPECT_EQ(dlg.lookupButtonAt(ds->FieldIndex("DOH")), nullptr);

    const int skupaj = ds->FieldIndex("SKUPAJ");
    EXPECT_GE(skupaj, 20);
    EXPECT_GT(dlg.editorAt(skupaj)->x(), dlg.editorAt(0)->x());
    EXPECT_EQ(dlg.captionAt(skupaj)->text(), "SKUPAJ");
    EXPECT_FALSE(dlg.bStorno->isVisibleTo(&dlg));
    EXPECT_FALSE(dlg.bPopravek->isVisibleTo(&dlg));
}

TEST_F(DetailsDlg, AnalyticGridRowFillsTwentyAndFourPlacesWithoutStopnja)
{
    db.exec(test::analRow(1, 5));
    DataSet& ds = db.ctx.odsNabor;
    defineAnalyticFields(ds);
    openAnalyticWorking(ds, QDate(2026, 12, 10), QDate(2026, 12, 10));
    dlg.Pripravi(&ds, "nič", {}, 0, {}, false, {});

    const int stopnja = ds.FieldIndex("Stopnja");
    EXPECT_EQ(stopnja, 22);
    EXPECT_EQ(dlg.editorAt(stopnja), nullptr);
    EXPECT_EQ(dlg.captionAt(stopnja), nullptr);
    const int left = dlg.editorAt(0)->x();
    for (int r = 0; r < 24; ++r) {
        if (r == stopnja)
            continue;
        ASSERT_NE(dlg.editorAt(r), nullptr) << r;
        EXPECT_EQ(dlg.editorAt(r)->x() == left, r < 20) << r;
        EXPECT_TRUE(dlg.editorAt(r)->isReadOnly()) << r;
    }
    EXPECT_EQ(dlg.editorAt(24), nullptr);
    EXPECT_EQ(dlg.captionAt(ds.FieldIndex("BRUTO"))->text(), "Bruto znesek");
    EXPECT_EQ(dlg.captionAt(ds.FieldIndex("DAV_ODT_OBR"))->text(),
              QString::fromUtf8("Obračunani davčni odteglj"));
    EXPECT_EQ(dlg.editorFor("BRUTO")->text(), "100,00");
    EXPECT_EQ(dlg.editorFor("DATUM_IZP_DIV")->text(), "10.12.2026");
}

TEST_F(DetailsDlg, StornoAndPopravekForTheHistoryUses)
{
    historySummaries();
    struct Row
    {
        int id;
        QString editable;
        bool cancellation;
        bool storno, popravek;
    };
    const Row rows[] = {
        {1, "nič", true, true, true},           // submitted, paid nine days ago
        {2, "DURS_ID_DOK", false, false, true}, // no number yet: Popravek only
        {3, "nič", true, false, false},         // a cancellation is not cancelled again
    };
    for (const auto& r : rows) {
        auto ds = openHistory(r.id);
        TfDetailsDlg d(db.op);
        d.Pripravi(ds, r.editable, {}, 0, {}, r.cancellation, {});
        EXPECT_EQ(d.bStorno->isVisibleTo(&d), r.storno) << r.id;
        EXPECT_EQ(d.bPopravek->isVisibleTo(&d), r.popravek) << r.id;
    }
    // Paid more than a year ago: Storno without Popravek.
    db.exec("UPDATE REK2_ZBIR_HST SET DURS_ID_DOK = 'EDP-12345678-2' WHERE ID_REK2_ZBIR = 2");
    auto ds = openHistory(2);
    dlg.Pripravi(ds, "nič", {}, 0, {}, true, {});
    EXPECT_TRUE(dlg.bStorno->isVisibleTo(&dlg));
    EXPECT_FALSE(dlg.bPopravek->isVisibleTo(&dlg));
    dlg.bStornoClick();
    EXPECT_EQ(dlg.result(), TfDetailsDlg::mrStorno);
}

TEST_F(DetailsDlg, PreveriEdpFormatAndUse)
{
    historySummaries();
    auto ds = openHistory(2);
    dlg.Pripravi(ds, "DURS_ID_DOK", {}, 0, {}, false, {});
    EXPECT_EQ(dlg.PreveriEDP("EDP-87654321-1"), 1);
    EXPECT_EQ(dlg.PreveriEDP("edp-12345678-1"), 1);
    EXPECT_EQ(dlg.PreveriEDP("EDP-12345678-7"), 2); // summary 1 has it
    EXPECT_EQ(dlg.PreveriEDP("EDP-12345678-8"), 0);
    EXPECT_EQ(dlg.PreveriEDP("EDP-12345678-O'Hara"), 0); // bound, not pasted

    auto own = openHistory(1);
    TfDetailsDlg d(db.op);
    d.Pripravi(own, "nič", {}, 0, {}, true, {});
    EXPECT_EQ(d.PreveriEDP("EDP-12345678-7"), 0); // its own number
}

TEST_F(DetailsDlg, DocumentNumberStoredOnLeavingAndClearedByCancel)
{
    historySummaries();
    auto ds = openHistory(2);
    dlg.Pripravi(ds, "DURS_ID_DOK", {}, 0, {}, false, {});
    QLineEdit* e = dlg.editorFor("DURS_ID_DOK");
    ASSERT_NE(e, nullptr);
    EXPECT_FALSE(e->isReadOnly());

    dlg.DBEditOnEnter();
    EXPECT_EQ(e->text(), "EDP-12345678-");
    dlg.DBEditOnExit(); // passing through: the bare prefix is no number
    EXPECT_TRUE(db.op.shown.empty());
    EXPECT_TRUE(db.scalar("SELECT DURS_ID_DOK FROM REK2_ZBIR_HST WHERE ID_REK2_ZBIR = 2").isNull());

    dlg.DBEditOnEnter();
    e->setText("EDP-87654321-1");
    dlg.DBEditOnExit();
    ASSERT_EQ(db.op.texts().size(), 1);
    EXPECT_EQ(db.op.shown.back().text,
              QString::fromUtf8("EDP številka EDP-87654321-1 ni pravilnog formata. EDP-DVS-n "));
    EXPECT_TRUE(db.scalar("SELECT DURS_ID_DOK FROM REK2_ZBIR_HST WHERE ID_REK2_ZBIR = 2").isNull());

    dlg.DBEditOnEnter();
    e->setText("EDP-12345678-7");
    dlg.DBEditOnExit();
    EXPECT_EQ(db.op.shown.back().text, QString::fromUtf8("EDP številka EDP-12345678-7 že obstaja!"));

    dlg.DBEditOnEnter();
    e->setText("EDP-12345678-12");
    dlg.DBEditOnExit();
    EXPECT_EQ(db.scalar("SELECT DURS_ID_DOK FROM REK2_ZBIR_HST WHERE ID_REK2_ZBIR = 2").toString(),
              "EDP-12345678-12");
    EXPECT_FALSE(db.session.InTransaction());

    dlg.BitBtn1Click();
    EXPECT_EQ(dlg.result(), TfDetailsDlg::mrCancel);
    EXPECT_TRUE(db.scalar("SELECT DURS_ID_DOK FROM REK2_ZBIR_HST WHERE ID_REK2_ZBIR = 2").isNull());
}

TEST_F(DetailsDlg, OkWhileTheNumberEditorHasTheFocusStoresTheNumber)
{
    historySummaries();
    auto ds = openHistory(2);
    dlg.Pripravi(ds, "DURS_ID_DOK", {}, 0, {}, false, {});
    dlg.DBEditOnEnter();
    dlg.editorFor("DURS_ID_DOK")->setText("EDP-12345678-13");
    dlg.BitBtn2Click(); // Enter: the editor was never left
    EXPECT_EQ(dlg.result(), TfDetailsDlg::mrOk);
    EXPECT_EQ(db.scalar("SELECT DURS_ID_DOK FROM REK2_ZBIR_HST WHERE ID_REK2_ZBIR = 2").toString(),
              "EDP-12345678-13");
}

TEST_F(DetailsDlg, RefusedNumberOnOkKeepsTheDialogOpen)
{
    historySummaries();
    auto ds = openHistory(2);
    dlg.Pripravi(ds, "DURS_ID_DOK", {}, 0, {}, false, {});
    dlg.DBEditOnEnter();
    dlg.editorFor("DURS_ID_DOK")->setText("EDP-12345678-7");
    dlg.BitBtn2Click();
    EXPECT_EQ(dlg.result(), TfDetailsDlg::mrNone);
    EXPECT_EQ(dlg.dataSet(), ds);
    EXPECT_TRUE(db.scalar("SELECT DURS_ID_DOK FROM REK2_ZBIR_HST WHERE ID_REK2_ZBIR = 2").isNull());
}

TEST_F(DetailsDlg, ReadOnlyNumberIsNeverFilledNorStored)
{
    // An imported row has no number; passing through its locked editor must
    // not write a bare prefix into it.
    db.exec(test::analRow(1, 5));
    db.exec("UPDATE REK2_ANAL SET DURS_ID_DOK = NULL");
    auto ds = openAnal(1);
    dlg.Pripravi(ds, "nič", {}, 0, {}, false, {});
    dlg.DBEditOnEnter();
    dlg.DBEditOnExit();
    EXPECT_TRUE(dlg.editorFor("DURS_ID_DOK")->text().isEmpty());
    dlg.BitBtn2Click();
    EXPECT_TRUE(db.scalar("SELECT DURS_ID_DOK FROM REK2_ANAL").isNull());
    EXPECT_TRUE(db.op.shown.empty());
}

TEST_F(DetailsDlg, OkOnAnUnchangedRecordClosesWithoutChecks)
{
    // The stored row would fail the checks; unchanged, it is not checked.
    db.exec(test::analRow(1, 5));
    db.exec("UPDATE REK2_ANAL SET SIF_VRSTE_DOH = '1800', REZ = 'N'");
    auto ds = openAnal(1);
    dlg.Pripravi(ds, "DVS,BRUTO", {}, 0, {}, false, {});
    dlg.BitBtn2Click();
    EXPECT_EQ(dlg.result(), TfDetailsDlg::mrOk);
    EXPECT_TRUE(db.op.shown.empty());
    EXPECT_EQ(ds->State(), DataSetState::Browse);
}

TEST_F(DetailsDlg, EditedRowIsSavedWithoutChecksAndKeepsAOneWordName)
{
    db.exec(test::analRow(1, 5));
    db.exec("UPDATE REK2_ANAL SET IME = NULL, PRIIMEK = NULL, NAZIV = 'Podjetje', SIF_VRSTE_DOH = '1800'");
    auto ds = openAnal(1);
    dlg.Pripravi(ds, "DVS,IDENT_ST,IME,PRIIMEK,BRUTO", {}, 0, {}, false, {});
    EXPECT_FALSE(db.session.InTransaction());
    type(dlg.editorFor("BRUTO"), "1.234,50");
    EXPECT_TRUE(db.session.InTransaction());
    dlg.BitBtn2Click();
    EXPECT_EQ(dlg.result(), TfDetailsDlg::mrOk);
    EXPECT_TRUE(db.op.shown.empty());
    EXPECT_DOUBLE_EQ(db.scalar("SELECT BRUTO FROM REK2_ANAL").toDouble(), 1234.5);
    EXPECT_EQ(db.scalar("SELECT NAZIV FROM REK2_ANAL").toString(), "Podjetje");
    EXPECT_FALSE(db.session.InTransaction());
}

TEST_F(DetailsDlg, FailedPostKeepsTheDialogOpenWithTheTypedValues)
{
    db.exec(test::analRow(1, 5));
    auto ds = openAnal(1);
    ds->BeforePost = [](DataSet&) { throw DbError("ORA-00001: unique constraint violated"); };
    dlg.Pripravi(ds, "BRUTO", {}, 0, {}, false, {});
    type(dlg.editorFor("BRUTO"), "7");
    EXPECT_THROW(dlg.BitBtn2Click(), DbError);
    EXPECT_EQ(dlg.result(), TfDetailsDlg::mrNone);
    EXPECT_EQ(dlg.dataSet(), ds);
    EXPECT_EQ(ds->State(), DataSetState::Edit);
    EXPECT_FALSE(db.session.InTransaction());

    ds->BeforePost = nullptr;
    dlg.BitBtn2Click();
    EXPECT_EQ(dlg.result(), TfDetailsDlg::mrOk);
    EXPECT_DOUBLE_EQ(db.scalar("SELECT BRUTO FROM REK2_ANAL").toDouble(), 7);
}

TEST_F(DetailsDlg, NameIsBuiltFromItsPartsOnOk)
{
    db.exec(test::analRow(1, 5));
    auto ds = openAnal(1);
    dlg.Pripravi(ds, "IME,PRIIMEK", {}, 0, {}, false, {});
    type(dlg.editorFor("PRIIMEK"), "Kovač ");
    dlg.BitBtn2Click();
    EXPECT_EQ(db.scalar("SELECT NAZIV FROM REK2_ANAL").toString(), QString::fromUtf8("Ana Kovač"));
}

TEST_F(DetailsDlg, NewRowWithFindingsStaysOpenAndUnsaved)
{
    auto ds = openAnal(0);
    ds->Insert();
    dlg.Pripravi(ds, QString(), QDateTime(QDate(2026, 12, 10), QTime(9, 0)), 77, "KRKG", false, {});
    const int id = ds->FieldByName("ID_REK2_ANAL")->AsInteger();
    EXPECT_GT(id, 0);
    EXPECT_EQ(ds->FieldByName("SFVP")->AsString(), "KRKG");
    EXPECT_EQ(ds->FieldByName("DATUM_PLC_DVK")->AsDate(), QDate(2026, 12, 10));
    EXPECT_EQ(dlg.editorFor("STATUS")->text(), "O");
    EXPECT_TRUE(dlg.editorFor("ID_REK2_ANAL")->isReadOnly());
    EXPECT_TRUE(db.session.InTransaction());

    type(dlg.editorFor("DVS"), "87654321");
    type(dlg.editorFor("REZ"), "R");
    type(dlg.editorFor("UGO_MED_POG"), "0");
    type(dlg.editorFor("SIF_SFDOH"), "5400");
    dlg.BitBtn2Click(); // no income type yet
    EXPECT_EQ(dlg.result(), TfDetailsDlg::mrNone);
    ASSERT_EQ(db.op.shown.size(), 1u);
    EXPECT_EQ(db.op.shown[0].text, "\r\nNiso nafilani vsi podatki!");
    EXPECT_EQ(db.op.shown[0].buttons, QStringList{"V redu"});
    EXPECT_EQ(ds->State(), DataSetState::Insert);
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM REK2_ANAL"), 0);

    type(dlg.editorFor("SIF_VRSTE_DOH"), "1902");
    dlg.BitBtn2Click();
    EXPECT_EQ(dlg.result(), TfDetailsDlg::mrNone);
    EXPECT_EQ(
        db.op.shown.back().text,
        QStringLiteral("\r\nZa ID:%1 napačna kombinacija vrste dohodka 1902 in oznake vrste dohodka 5400 !")
            .arg(id));
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM REK2_ANAL"), 0);

    type(dlg.editorFor("SIF_VRSTE_DOH"), "1901");
    dlg.BitBtn2Click();
    EXPECT_EQ(dlg.result(), TfDetailsDlg::mrOk);
    EXPECT_EQ(
        db.count(QStringLiteral("SELECT COUNT(*) FROM REK2_ANAL WHERE ID_REK2_ANAL = %1 AND ID_REK2_ZBIR = 0 "
                                "AND STATUS = 'O' AND SFKPN = 77 AND DATUM_IZP_DIV = '2026-12-10'")
                     .arg(id)),
        1);
}

TEST_F(DetailsDlg, CancelOfANewRowDropsItButKeepsTheIdentifierDrawn)
{
    auto ds = openAnal(0);
    ds->Insert();
    dlg.Pripravi(ds, QString(), {}, 0, {}, false, {});
    const int first = ds->FieldByName("ID_REK2_ANAL")->AsInteger();
    dlg.reject(); // Escape
    EXPECT_EQ(dlg.result(), TfDetailsDlg::mrCancel);
    EXPECT_EQ(ds->State(), DataSetState::Browse);
    EXPECT_FALSE(db.session.InTransaction());
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM REK2_ANAL"), 0);
    auto other = openAnal(0);
    TfDetailsDlg d(db.op);
    d.Pripravi(other, "nič", {}, 0, {}, false, {});
    EXPECT_GT(d.GetNewIDAnal(), first) << "never handed out twice";
}

TEST_F(DetailsDlg, CancelDropsTheChangeFromTheRecord)
{
    db.exec(test::analRow(1, 5));
    auto ds = openAnal(1);
    dlg.Pripravi(ds, "BRUTO", {}, 0, {}, false, {});
    type(dlg.editorFor("BRUTO"), "9");
    ds->FieldByName("BRUTO")->SetAsFloat(9);
    dlg.BitBtn1Click();
    EXPECT_EQ(ds->State(), DataSetState::Browse);
    EXPECT_DOUBLE_EQ(ds->FieldByName("BRUTO")->AsFloat(), 100);
    EXPECT_DOUBLE_EQ(db.scalar("SELECT BRUTO FROM REK2_ANAL").toDouble(), 100);
    EXPECT_FALSE(db.session.InTransaction());
}

TEST_F(DetailsDlg, BadAmountIsReportedAndNothingSaved)
{
    db.exec(test::analRow(1, 5));
    auto ds = openAnal(1);
    dlg.Pripravi(ds, "BRUTO", {}, 0, {}, false, {});
    type(dlg.editorFor("BRUTO"), "12a");
    dlg.BitBtn2Click();
    EXPECT_EQ(dlg.result(), TfDetailsDlg::mrNone);
    ASSERT_EQ(db.op.shown.size(), 1u);
    EXPECT_EQ(db.op.shown[0].text, QString::fromUtf8("Vrednost \"12a\" ni pravilna za polje \"BRUTO\"!"));
    EXPECT_DOUBLE_EQ(db.scalar("SELECT BRUTO FROM REK2_ANAL").toDouble(), 100);
}

// The window can close a dataset while the dialog over it is open: the
// dialog forgets it, lets go of the change's transaction, and only closes.
TEST_F(DetailsDlg, DatasetFreedWhileTheDialogIsOpen)
{
    db.exec(test::analRow(1, 5));
    auto ds = db.open("select A.*, A.ROWID FROM REK2_ANAL A");
    dlg.Pripravi(ds.get(), "BRUTO", {}, 0, {}, false, {});
    QLineEdit* bruto = dlg.editorFor("BRUTO");
    type(bruto, "9");
    EXPECT_TRUE(db.session.InTransaction());
    ds.reset();
    EXPECT_EQ(dlg.dataSet(), nullptr);
    EXPECT_FALSE(db.session.InTransaction());
    EXPECT_TRUE(bruto->isReadOnly());
    dlg.BitBtn2Click();
    EXPECT_EQ(dlg.result(), TfDetailsDlg::mrOk);
    EXPECT_DOUBLE_EQ(db.scalar("SELECT BRUTO FROM REK2_ANAL").toDouble(), 100);
    EXPECT_TRUE(db.op.shown.empty());
}

class Lookup : public DetailsDlg
{
protected:
    DataSet* ds = nullptr;

    void SetUp() override
    {
        db.exec(
            "INSERT INTO OSB (SFOSB, IME, NZV, NSL, DVS) VALUES (1, 'Janez', 'Čeh', 'Ulica 1', '11111111')");
        db.exec(
            "INSERT INTO OSB (SFOSB, IME, NZV, NSL, DVS) VALUES (2, 'Sean', 'O''Brien', NULL, '22222222')");
        db.exec("INSERT INTO OSB (SFOSB, IME, NZV, NSL, DVS) VALUES (3, NULL, 'Cehna d.o.o.', 'Cesta 2', "
                "'33333333')");
        db.exec("INSERT INTO REK2_ZBIR (ID_REK2_ZBIR, CORRECTIONTYPE) VALUES (5, 'O')");
        ds = open("select Z.*, Z.ROWID FROM REK2_ZBIR Z");
        dlg.Pripravi(ds, "NAZIV,NASLOV,POOB_DVS", {}, 0, {}, false, "OSB(NAZIV,NASLOV,POOB_DVS)");
        dlg.ButtonOnClick("OSB");
    }

    QStringList search(const QString& name, const QString& dvs)
    {
        dlg.eOSB->setText(name);
        dlg.eDVS->setText(dvs);
        dlg.SpeedButton1Click();
        QStringList found;
        for (dlg.odsLookup->First(); !dlg.odsLookup->Eof(); dlg.odsLookup->Next())
            found << dlg.odsLookup->FieldByName("NZV")->AsString();
        return found;
    }
};

TEST_F(Lookup, FiltersAreBoundAndUpperCasedFully)
{
    EXPECT_TRUE(dlg.pOsb->isVisibleTo(&dlg));
    EXPECT_EQ(search("", "").size(), 3);
    EXPECT_EQ(search(QString::fromUtf8("čeh"), ""), QStringList{QString::fromUtf8("Čeh")});
    EXPECT_EQ(search("ceh", ""), QStringList{"Cehna d.o.o."});
    EXPECT_EQ(search("o'b", ""), QStringList{"O'Brien"});
    EXPECT_EQ(search("", "22222222' OR '1'='1"), QStringList{});
    EXPECT_EQ(search(QString::fromUtf8("Č"), "11111111"), QStringList{QString::fromUtf8("Čeh")});
    EXPECT_EQ(search(QString::fromUtf8("Č"), "33333333"), QStringList{});
}

TEST_F(Lookup, ChosenPersonFillsTheAgentAndWarnsWhenIncomplete)
{
    search(QString::fromUtf8("čeh"), "");
    dlg.DBGrid1DblClick();
    EXPECT_FALSE(dlg.pOsb->isVisibleTo(&dlg));
    EXPECT_EQ(ds->FieldByName("NAZIV")->AsString(), QString::fromUtf8("Janez Čeh"));
    EXPECT_EQ(ds->FieldByName("NASLOV")->AsString(), "Ulica 1");
    EXPECT_EQ(ds->FieldByName("POOB_DVS")->AsString(), "11111111");
    EXPECT_EQ(dlg.editorFor("NAZIV")->text(), QString::fromUtf8("Janez Čeh"));
    EXPECT_TRUE(db.op.shown.empty());

    dlg.ButtonOnClick("OSB");
    search("O'", "");
    dlg.DBGrid1DblClick();
    ASSERT_EQ(db.op.shown.size(), 1u);
    EXPECT_EQ(db.op.shown[0].text, QString::fromUtf8("Pomanjkljivi podatki o pooblaščencu!!"));
    EXPECT_EQ(ds->FieldByName("NAZIV")->AsString(), "Sean O'Brien");

    dlg.ButtonOnClick("OSB");
    search("Cehna", "");
    dlg.DBGrid1DblClick();
    EXPECT_EQ(ds->FieldByName("NAZIV")->AsString(), "Cehna d.o.o.");

    dlg.BitBtn2Click();
    EXPECT_EQ(db.scalar("SELECT NAZIV FROM REK2_ZBIR").toString(), "Cehna d.o.o.");
}

} // namespace
