#include "gridexport/print_table.h"
#include "gridexport/sample_rows.h"
#include "ui/grid/tfdatasetprint.h"
#include "ui/grid/tfwwdbgrid.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <gtest/gtest.h>

using rek2::TfDataSetPrint;
using rek2::test::SampleRows;

TEST(PrintWindow, SettingsListsClicksAndBothResults)
{
    SampleRows s({{1, QStringLiteral("KRKG"), 10.0, QDate(2026, 1, 1)},
                  {2, QStringLiteral("KRKG"), 5.0, QDate(2026, 1, 2)},
                  {3, QStringLiteral("PETG"), 1.0, QDate(2026, 1, 2)}});
    TfDataSetPrint& w = TfDataSetPrint::instance();
    w.open(s.ds, s.columns(), QStringLiteral("Analitika"));
    ASSERT_NE(w.table(), nullptr);
    EXPECT_EQ(w.pages->tabText(0), QStringLiteral("Nastavitve"));
    EXPECT_EQ(w.mTitle->toPlainText(), QStringLiteral("Analitika"));
    // Šifra and Naziv grouped; Znesek SUM, Datum (after a number) MAX; N last.
    ASSERT_EQ(w.lbGroup->count(), 2);
    EXPECT_EQ(w.lbGroup->item(1)->text(), QStringLiteral("Naziv prejemnika"));
    ASSERT_EQ(w.lbSum->count(), 3);
    EXPECT_EQ(w.lbSum->item(0)->text(), QStringLiteral("SUM Znesek"));
    EXPECT_EQ(w.lbSum->item(1)->text(), QStringLiteral("MAX Datum"));
    EXPECT_EQ(w.lbSum->item(2)->text(), QStringLiteral("SUM N"));

    // Clicks: unmark Šifra, cycle Znesek to AVG and back to SUM.
    w.groupListClick(0);
    EXPECT_EQ(w.lbGroup->item(0)->text(), QStringLiteral("××Šifra"));
    w.sumListClick(0);
    EXPECT_EQ(w.lbSum->item(0)->text(), QStringLiteral("AVG Znesek"));
    for (int i = 0; i < 3; ++i)
        w.sumListClick(0);
    EXPECT_EQ(w.lbSum->item(0)->text(), QStringLiteral("SUM Znesek"));

    // A title click on Naziv (column 2 of the local grid, after N and Šifra).
    w.localTitleClick(2);
    EXPECT_EQ(w.lbGroup->count(), 2);
    EXPECT_EQ(w.lbGroup->item(0)->text(), QStringLiteral("Šifra"));
    w.groupListClick(0); // only Naziv marked: one level by Šifra and Naziv

    w.grupiranjeClick();
    EXPECT_EQ(w.pages->currentIndex(), 2);
    const rek2::DataSet& g = w.groupResult();
    ASSERT_EQ(g.RecordCount(), 4); // three rows and the grand total
    EXPECT_EQ(g.DisplayText(0, 1), QStringLiteral("KRKG"));
    EXPECT_EQ(g.DisplayText(0, 2), QStringLiteral("10,00"));
    EXPECT_EQ(g.DisplayText(3, 0), w.table()->totalLabel);
    EXPECT_EQ(g.DisplayText(3, 1), w.table()->totalLabel);
    EXPECT_EQ(g.DisplayText(3, 2), QStringLiteral("16,00"));
    EXPECT_EQ(g.DisplayText(3, 4), QStringLiteral("3"));
    // The result grid's caption follows the title, so its print carries it.
    w.mTitle->setPlainText(QStringLiteral("Po papirjih"));
    EXPECT_EQ(w.dbgGroup->labelText, QStringLiteral("Po papirjih"));

    w.sortiranjeClick();
    EXPECT_EQ(w.pages->currentIndex(), 1);
    EXPECT_EQ(w.sortResult().RecordCount(), 4);

    // Hiding the window drops the results and the local table.
    w.hide();
    EXPECT_EQ(w.table(), nullptr);
    EXPECT_FALSE(w.groupResult().Active());
}
