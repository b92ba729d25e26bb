#include "db/dataset.h"
#include "db/session.h"
#include "support/fixture_db.h"
#include "support/test_engine.h"
#include "ui/grid/datasetmodel.h"
#include "ui/grid/tfwwdbgrid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMap>
#include <QProxyStyle>
#include <QStyleOptionViewItem>
#include <QWheelEvent>
#include <gtest/gtest.h>

using rek2::DataSet;
using rek2::TFwwDBGrid;

namespace {

// Five rows of a small table, shown through a grid with defined fields.
struct GridFixture : ::testing::Test
{
    rek2::test::FixtureDb fx;
    rek2::Session session;
    DataSet ds{QStringLiteral("odsTest")};
    TFwwDBGrid grid;

    void SetUp() override
    {
        fx.exec("CREATE TABLE T (ID INTEGER, NAZIV VARCHAR(30), ZNESEK DOUBLE PRECISION, SKRITO VARCHAR(5))");
        fx.exec("INSERT INTO T VALUES (1, 'prvi', 1234.56, 'a'), (2, 'drugi', 0.5, 'b'), (3, 'tretji', "
                "-1234567.891, 'c'),"
                " (4, 'četrti', NULL, 'd'), (5, 'peti', 20, 'e')");
        session.LogonDatabase = fx.path();
        session.LogOn();
        ds.SetSession(&session);
        ds.SQL = QStringList{"select T.*, T.ROWID from T", "order by ID"};
        ds.AddField({"ID", rek2::FieldType::Integer, 0, "Šifra", "", true, false});
        ds.AddField({"NAZIV", rek2::FieldType::String, 30, "Naziv prejemnika", "", true, false});
        ds.AddField({"ZNESEK", rek2::FieldType::Float, 0, "Znesek", "#,##0.00", true, false});
        ds.AddField({"SKRITO", rek2::FieldType::String, 5, "Skrito", "", false, false});
        grid.resize(500, 300);
        grid.setDataSet(&ds);
        ds.Open();
    }
    void TearDown() override { grid.setDataSet(nullptr); }

    QString cell(int row, int column) const { return grid.model()->index(row, column).data().toString(); }

    // Another dataset of the same table, its fields the result's columns,
    // open and shown by the grid instead.
    std::unique_ptr<DataSet> shownOther()
    {
        auto other = std::make_unique<DataSet>(QStringLiteral("odsOther"));
        other->SetSession(&session);
        other->SQL = QStringList{"select T.*, T.ROWID from T"};
        grid.setDataSet(other.get());
        other->Open();
        grid.show();
        return other;
    }
};

} // namespace

TEST_F(GridFixture, ColumnsCaptionsAndDisplayFormatsComeFromTheFields)
{
    ASSERT_EQ(grid.model()->columnCount(), 3); // the hidden field is no column
    ASSERT_EQ(grid.model()->rowCount(), 5);
    EXPECT_EQ(grid.model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Šifra"));
    EXPECT_EQ(grid.model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Naziv prejemnika"));
    EXPECT_EQ(cell(0, 2), QStringLiteral("1.234,56"));
    EXPECT_EQ(cell(1, 2), QStringLiteral("0,50"));
    EXPECT_EQ(cell(2, 2), QStringLiteral("-1.234.567,89"));
    EXPECT_EQ(cell(3, 2), QString()); // NULL shows nothing
    EXPECT_EQ(cell(3, 1), QStringLiteral("četrti"));
    EXPECT_TRUE(grid.model()->index(0, 2).data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight);
    // A column is never narrower than its caption.
    const QFontMetrics fm(grid.horizontalHeader()->font());
    EXPECT_GE(grid.columnWidth(1), fm.horizontalAdvance(QStringLiteral("Naziv prejemnika")));

    ds.Close();
    EXPECT_EQ(grid.model()->rowCount(), 0);
    ds.Open();
    EXPECT_EQ(grid.model()->rowCount(), 5);
}

TEST_F(GridFixture, CurrentRowFollowsBothWays)
{
    ds.SetRecNo(4);
    EXPECT_EQ(grid.currentIndex().row(), 3);
    grid.setCurrentIndex(grid.model()->index(1, 1));
    EXPECT_EQ(ds.CurrentRow(), 1);
    EXPECT_EQ(ds.FieldByName("NAZIV")->AsString(), "drugi");
    ASSERT_TRUE(ds.Locate("ID", {5}));
    EXPECT_EQ(grid.currentIndex().row(), 4);

    // The wheel moves the dataset by one row.
    grid.show();
    QWheelEvent up(QPointF(10, 10), grid.mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, 120), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(grid.viewport(), &up);
    EXPECT_EQ(ds.CurrentRow(), 3);
    EXPECT_EQ(grid.currentIndex().row(), 3);
}

TEST_F(GridFixture, SeveralRowsCanBeMarkedOnlyWithMultiSelect)
{
    auto* sel = grid.selectionModel();
    auto rowOf = [&](int r) { return QItemSelection(grid.model()->index(r, 0), grid.model()->index(r, 2)); };

    grid.setMultiSelect(false);
    EXPECT_EQ(grid.selectionMode(), QAbstractItemView::SingleSelection);

    grid.setMultiSelect(true);
    grid.clearSelection();
    sel->select(rowOf(1), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    sel->select(rowOf(3), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_EQ(grid.selectedRows(), (QList<int>{1, 3}));
    ds.SetRecNo(4); // moving the dataset keeps the marks
    EXPECT_TRUE(grid.currentRowSelected());
    EXPECT_EQ(grid.selectedRows(), (QList<int>{1, 3}));
    ds.SetRecNo(3);
    EXPECT_FALSE(grid.currentRowSelected());
}

TEST_F(GridFixture, EnterZoomsAndCtrlDeleteDeletesNothing)
{
    int zooms = 0, dbl = 0;
    grid.OnZoom = [&] { ++zooms; };
    grid.OnDblClick = [&] { ++dbl; };
    ds.SetRecNo(2);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(&grid, &enter);
    EXPECT_EQ(zooms, 1);
    EXPECT_EQ(ds.State(), rek2::DataSetState::Browse); // no editor opened

    QKeyEvent ctrlDel(QEvent::KeyPress, Qt::Key_Delete, Qt::ControlModifier);
    QApplication::sendEvent(&grid, &ctrlDel);
    EXPECT_EQ(ds.RecordCount(), 5);
    ds.Refresh();
    EXPECT_EQ(ds.RecordCount(), 5);

    grid.show();
    const QRect r = grid.visualRect(grid.model()->index(0, 0));
    QMouseEvent press(QEvent::MouseButtonDblClick, r.center(), grid.viewport()->mapToGlobal(r.center()),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid.viewport(), &press);
    EXPECT_EQ(dbl, 1);
    EXPECT_EQ(zooms, 2); // the double-click zooms after OnDblClick
}

namespace {

// Remembers the font and the background each painted cell is drawn with, as
// the style gets them.
struct PaintedCells : QProxyStyle
{
    mutable QMap<int, bool> boldByRow;
    mutable QMap<int, QColor> backgroundByRow;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override
    {
        if (element == CE_ItemViewItem)
            if (const auto* item = qstyleoption_cast<const QStyleOptionViewItem*>(option)) {
                boldByRow[item->index.row()] = item->font.bold();
                backgroundByRow[item->index.row()] = item->backgroundBrush.color();
            }
        QProxyStyle::drawControl(element, option, painter, widget);
    }
};

} // namespace

TEST_F(GridFixture, DrawHookSeesEveryPaintedCellAndItsFontIsTheOnePainted)
{
    PaintedCells painted;
    grid.setStyle(&painted);
    QSet<int> rows;
    grid.OnDrawColumnCell = [&](int row, int column, QStyleOptionViewItem& opt) {
        rows.insert(row);
        opt.font.setBold(row == 0);
        if (row == 1)
            opt.backgroundBrush = QBrush(Qt::darkBlue);
    };
    grid.show();
    grid.grab();
    EXPECT_EQ(rows, (QSet<int>{0, 1, 2, 3, 4}));
    const QMap<int, bool> expected{{0, true}, {1, false}, {2, false}, {3, false}, {4, false}};
    EXPECT_EQ(painted.boldByRow, expected);
    // A background the hook chose is the one painted (the print window's group
    // columns draw light text on it).
    EXPECT_EQ(painted.backgroundByRow.value(1).name(), QColor(Qt::darkBlue).name());
    grid.setStyle(QApplication::style());
}

// A dataset freed while a grid still shows it: the grid lets go of it and
// paints an empty table instead of reading freed rows.
TEST_F(GridFixture, DataSetFreedBeforeTheGridLeavesItEmpty)
{
    auto other = shownOther();
    ASSERT_EQ(grid.model()->rowCount(), 5);
    other.reset();
    EXPECT_EQ(grid.dataSet(), nullptr);
    EXPECT_EQ(grid.model()->rowCount(), 0);
    grid.grab();
}

// The window repaints while the engine works, also while a dataset reads a
// large result: a grid whose dataset is being read again (its notifications
// held back, as a refresh does) or reopened with fewer columns paints without
// reading rows or fields that are not there yet.
TEST_F(GridFixture, PaintsWhileItsDataSetIsReadAgain)
{
    REK2_SQLITE_ONLY(); // the engine calls the pulse back while it works
    fx.exec("INSERT INTO T WITH RECURSIVE C(X) AS (SELECT 6 UNION ALL SELECT X + 1 FROM C WHERE X < 300000) "
            "SELECT X, 'vrstica ' || X, X / 100.0, 'x' FROM C");
    auto other = shownOther();
    ASSERT_EQ(grid.model()->columnCount(), 4);

    int paints = 0;
    session.setPulse([&] {
        grid.grab();
        ++paints;
    });
    QElapsedTimer clock;
    clock.start();
    other->Refresh();
    other->DisableControls();
    other->Close();
    other->SQL = QStringList{"select T.NAZIV from T"};
    other->Open();
    // Painted with the four columns the grid still shows.
    grid.grab();
    other->EnableControls();
    const qint64 took = clock.elapsed();
    session.setPulse({});
    EXPECT_EQ(other->RecordCount(), 300000);
    EXPECT_EQ(grid.model()->columnCount(), 1);
    EXPECT_EQ(cell(299999, 0), "vrstica 300000");
    if (took > 4 * rek2::Session::kPulseIntervalMs) {
        EXPECT_GE(paints, 1) << took << " ms";
    }
    grid.setDataSet(nullptr);
}
