#include "gridexport/progress.h"
#include "gridexport/sample_rows.h"
#include "ui/grid/tflocate.h"
#include "ui/grid/tfprogress.h"
#include "ui/grid/tfwwdbgrid.h"
#include "ui/grid/tsortselect.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

using rek2::TfLocate;
using rek2::TsortSelect;
using rek2::test::SampleRows;

namespace {

SampleRows* names()
{
    return new SampleRows({{1, QStringLiteral("ABC d.o.o."), 1.0, QVariant()},
                           {2, QStringLiteral("abeceda"), 2.0, QVariant()},
                           {3, QStringLiteral("ab"), 3.0, QVariant()},
                           {4, QStringLiteral("Zadnji"), 4.0, QVariant()}});
}

} // namespace

TEST(Locate, PartialIgnoresCaseExactDoesNotAndFailuresSayWhatWasSought)
{
    std::unique_ptr<SampleRows> s(names());
    TfLocate& dlg = TfLocate::instance();
    QStringList messages;
    dlg.showMessage = [&](const QString& m) { messages << m; };
    dlg.prepare(&s->ds);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Iskanje"));
    EXPECT_FALSE(dlg.bFirst->isEnabled());
    dlg.cbField->setCurrentIndex(1); // "Naziv prejemnika"
    dlg.eValue->setText(QStringLiteral("ab"));
    emit dlg.eValue->textEdited(QStringLiteral("ab"));
    EXPECT_TRUE(dlg.bFirst->isEnabled());

    ASSERT_TRUE(dlg.findFirst());
    EXPECT_EQ(s->ds.CurrentRow(), 0); // "ABC d.o.o."
    ASSERT_TRUE(dlg.findNext());
    EXPECT_EQ(s->ds.CurrentRow(), 1);
    dlg.cbExact->setChecked(true);
    ASSERT_TRUE(dlg.findFirst());
    EXPECT_EQ(s->ds.CurrentRow(), 2); // only "ab" itself
    EXPECT_FALSE(dlg.findNext());
    EXPECT_EQ(s->ds.CurrentRow(), 3); // the last row stays current
    EXPECT_EQ(messages, QStringList{QStringLiteral("Ne najdem \"ab\"")});
    // From the last row a find next fails at once.
    dlg.cbExact->setChecked(false);
    EXPECT_FALSE(dlg.findNext());
    EXPECT_EQ(messages.last(), QStringLiteral("Ne najdem \"ab...\""));
}

TEST(ColumnChooser, EveryColumnMovedRightLeavesAGridWithoutColumns)
{
    std::unique_ptr<SampleRows> s(names());
    rek2::TFwwDBGrid grid;
    grid.setDataSet(&s->ds);
    TsortSelect& dlg = TsortSelect::instance();
    QTimer::singleShot(0, &dlg, [&] {
        EXPECT_EQ(dlg.lbShown->count(), 4);
        EXPECT_FALSE(dlg.bLeft->isEnabled());
        dlg.moveAllRight();
        EXPECT_EQ(dlg.lbShown->count(), 0);
        EXPECT_FALSE(dlg.bUp->isEnabled());
        EXPECT_FALSE(dlg.bRight->isEnabled());
        EXPECT_TRUE(dlg.bAllLeft->isEnabled());
        // The hidden list is kept sorted.
        EXPECT_EQ(dlg.lbHidden->item(0)->text(), QStringLiteral("Datum"));
        dlg.bOK->click();
    });
    grid.runButton(rek2::gbView);
    EXPECT_EQ(grid.model()->columnCount(), 0);
    EXPECT_TRUE(grid.selected().isEmpty());
    grid.setDataSet(nullptr);
}

TEST(ColumnChooser, UpDownAndAppliedCaptionReachTheGrid)
{
    std::unique_ptr<SampleRows> s(names());
    rek2::TFwwDBGrid grid;
    grid.setDataSet(&s->ds);
    TsortSelect& dlg = TsortSelect::instance();
    QTimer::singleShot(0, &dlg, [&] {
        dlg.lbShown->setCurrentRow(2); // Znesek
        dlg.moveUp();
        dlg.eLabel->setText(QStringLiteral("Bruto"));
        dlg.eWidth->setText(QStringLiteral("9"));
        dlg.applyWidthAndLabel();
        dlg.lbShown->setCurrentRow(3); // Datum
        dlg.moveRight();
        dlg.bOK->click();
    });
    grid.runButton(rek2::gbView);
    EXPECT_EQ(grid.selected(),
              (QStringList{QStringLiteral("ID\t10\tŠifra"), QStringLiteral("ZNESEK\t9\tBruto"),
                           QStringLiteral("NAZIV\t30\tNaziv prejemnika")}));
    grid.setDataSet(nullptr);
}

TEST(ProgressWindow, CountsStepsAndCancelStopsTheNextStep)
{
    rek2::TfProgress& p = rek2::TfProgress::instance();
    p.start(QStringLiteral("Export"), 3);
    EXPECT_TRUE(p.isVisible());
    EXPECT_EQ(p.titleText(), QStringLiteral("Export"));
    p.step();
    p.step();
    EXPECT_EQ(p.position(), 2);
    p.cancelButton()->click();
    EXPECT_THROW(p.step(), rek2::OperationCancelled);
    p.close();
    EXPECT_FALSE(p.isVisible());
    // A new start forgets the old Cancel.
    p.start(QStringLiteral("Print"), 1);
    EXPECT_NO_THROW(p.step());
    EXPECT_EQ(p.counterText(), QStringLiteral("1 / 1"));
    p.close();
}
