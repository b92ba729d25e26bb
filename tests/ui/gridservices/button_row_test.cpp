#include "gridexport/sample_rows.h"
#include "ui/grid/grid_buttons.h"
#include "ui/grid/tfwwdbgrid.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using rek2::GridButtons;
using rek2::TFwwDBGrid;
using rek2::test::SampleRows;

namespace {

struct ButtonRowFixture : ::testing::Test
{
    SampleRows s{
        {{1, QStringLiteral("prvi"), 1.5, QDate(2026, 1, 2)}, {2, QStringLiteral("drugi"), 2.0, QVariant()}}};
    QWidget window;
    TFwwDBGrid* grid = new TFwwDBGrid;
    TFwwDBGrid* other = new TFwwDBGrid;

    void SetUp() override
    {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(grid);
        layout->addWidget(other);
        grid->setDataSet(&s.ds);
        grid->labelText = QStringLiteral("Analitika");
        window.resize(600, 400);
        window.show();
        QApplication::setActiveWindow(&window);
        grid->setFocus();
        QApplication::processEvents();
    }
    void TearDown() override { grid->setDataSet(nullptr); }

    void clickTitle(int section) { emit grid->horizontalHeader()->sectionClicked(section); }
};

} // namespace

TEST_F(ButtonRowFixture, TitleClickTogglesTheRowAndLeavingTheGridHidesIt)
{
    const QRect before = grid->viewport()->geometry();
    clickTitle(0);
    ASSERT_TRUE(grid->buttonRowShown());
    EXPECT_EQ(GridButtons::instance().grid(), grid);
    EXPECT_EQ(grid->captionLabel()->text(), QStringLiteral("Analitika"));
    EXPECT_TRUE(grid->captionLabel()->objectName().startsWith(QStringLiteral("MemLabel")));
    EXPECT_TRUE(grid->captionLabel()->isVisible());
    // Eleven 18 x 18 buttons in a row from 8 pixels, then the caption 5 pixels on.
    int x = GridButtons::kLeft;
    for (rek2::GridButton b : GridButtons::order()) {
        QToolButton* button = GridButtons::instance().button(b);
        ASSERT_TRUE(button->isVisible());
        EXPECT_TRUE(button->objectName().startsWith(QStringLiteral("StdBtn")));
        EXPECT_EQ(button->geometry(), QRect(x, grid->captionLabel()->y() - 1, 18, 18));
        EXPECT_EQ(button->icon().actualSize(QSize(15, 15)), QSize(15, 15));
        x += 18;
    }
    EXPECT_EQ(grid->captionLabel()->x(), x + grid->labelSpacing);
    // The grid's rows moved down under the row.
    EXPECT_GT(grid->viewport()->geometry().top(), before.top());

    clickTitle(1);
    EXPECT_FALSE(grid->buttonRowShown());
    EXPECT_EQ(grid->viewport()->geometry(), before);

    clickTitle(0);
    ASSERT_TRUE(grid->buttonRowShown());
    other->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_FALSE(grid->buttonRowShown());
    EXPECT_EQ(GridButtons::instance().grid(), nullptr);
    EXPECT_EQ(grid->viewport()->geometry(), before);
}

TEST_F(ButtonRowFixture, ClearedFlagsDisableTheirButtons)
{
    grid->gridButtons =
        rek2::gbAll & ~rek2::gridButtonBit(rek2::gbZoom) & ~rek2::gridButtonBit(rek2::gbExport);
    clickTitle(0);
    EXPECT_FALSE(GridButtons::instance().button(rek2::gbZoom)->isEnabled());
    EXPECT_FALSE(GridButtons::instance().button(rek2::gbExport)->isEnabled());
    EXPECT_TRUE(GridButtons::instance().button(rek2::gbCopyToClip)->isEnabled());
    bool zoomed = false;
    grid->OnZoom = [&] { zoomed = true; };
    grid->runButton(rek2::gbZoom);
    EXPECT_FALSE(zoomed);
}

TEST_F(ButtonRowFixture, CopyButtonPutsTheGridTextOnTheClipboardAndEndsOnTheFirstRow)
{
    s.ds.Last();
    grid->runButton(rek2::gbCopyToClip);
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QStringLiteral("Analitika\r\nŠifra\tNaziv prejemnika\tZnesek\tDatum\t"
                             "\r\n1\t\"prvi\"\t1,50\t02.01.2026\t\r\n2\t\"drugi\"\t2,00\t\t"));
    EXPECT_EQ(s.ds.CurrentRow(), 0);
}

TEST_F(ButtonRowFixture, TitleWordWrapMakesA45PixelTitleRow)
{
    grid->runButton(rek2::gbTitleWordWrap);
    EXPECT_TRUE(grid->TitleWordwrap());
    EXPECT_EQ(grid->horizontalHeader()->height(), 45);
    EXPECT_TRUE(grid->horizontalHeader()->defaultAlignment() & Qt::TextWordWrap);
    grid->runButton(rek2::gbTitleWordWrap);
    EXPECT_FALSE(grid->TitleWordwrap());
    EXPECT_LT(grid->horizontalHeader()->height(), 45);
}

TEST_F(ButtonRowFixture, LayoutListShowsListedFieldsInItsOrder)
{
    const QStringList all = grid->selected();
    ASSERT_EQ(all.size(), 4);
    EXPECT_TRUE(all[1].startsWith(QStringLiteral("NAZIV\t30\tNaziv prejemnika")));
    grid->setSelected({QStringLiteral("ZNESEK\t14\tZnesek"), QStringLiteral("NI_POLJA\t5\tx"),
                       QStringLiteral("ID\t10\tŠifra")});
    ASSERT_EQ(grid->model()->columnCount(), 2);
    EXPECT_EQ(grid->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Znesek"));
    EXPECT_EQ(grid->selected(),
              (QStringList{QStringLiteral("ZNESEK\t14\tZnesek"), QStringLiteral("ID\t10\tŠifra")}));
    // The reordered layout survives reopening the dataset.
    s.ds.Close();
    s.ds.Open();
    EXPECT_EQ(grid->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Znesek"));
}
