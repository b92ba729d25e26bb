// The review tab in the window: "?" fills the tree and the grid, the grid
// draws superseded returns in normal type, a node click moves the grid.
#include "support/fixture_db.h"
#include "ui/dialogs.h"
#include "ui/grid/tfwwdbgrid.h"
#include "ui/tfrek.h"

#include <QDateEdit>
#include <QFile>
#include <QStyleOptionViewItem>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

using rek2::TfRek;

TEST(ReviewTab, TreeGridAndDrawing)
{
    rek2::test::FixtureDb fx{rek2::test::FixtureDb::Content::SifBasics};
    QTemporaryDir home;
    qputenv("REK2_HOME", home.path().toUtf8());
    {
        QFile ini(home.filePath("rek2.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[Splošno]\nXMLPath=\\xml\nXMLArhiv=\\arhiv\n");
    }
    QStringList dialogs;
    rek2::setDialogInterceptor([&dialogs](const rek2::DialogRequest& r) {
        dialogs << r.text;
        return 1;
    });
    const char* rows[] = {"(1, 'EDP-1-A', NULL, 'O', '2026-11-02')",
                          "(2, NULL, 'EDP-1-A', 'X', '2026-11-02')", "(3, NULL, NULL, 'O', '2026-11-03')"};
    for (const char* r : rows)
        fx.exec(QString("INSERT INTO REK2_ZBIR_HST (ID_REK2_ZBIR, DURS_ID_DOK, CORRECTIONFORDOCUMENT, "
                        "CORRECTIONTYPE, DATUM_IZP) VALUES ") +
                r);
    {
        TfRek w({fx.path(), "operater", "geslo"});
        w.show();
        w.dtpPregledOd->setDate(QDate(2026, 11, 1));
        w.dtpPregledDo->setDate(QDate(2026, 11, 30));
        w.SpeedButton1->click();
        EXPECT_TRUE(dialogs.isEmpty()) << dialogs.join('|').toStdString();

        ASSERT_EQ(w.tvPregled->topLevelItemCount(), 1);
        QTreeWidgetItem* root = w.tvPregled->topLevelItem(0);
        EXPECT_EQ(root->text(0), "REK2");
        ASSERT_EQ(root->childCount(), 2);
        EXPECT_EQ(root->child(0)->text(0), "__O_1 ( 02.11.2026 -  )");
        EXPECT_FALSE(root->child(0)->font(0).bold());
        ASSERT_EQ(root->child(0)->childCount(), 1);
        EXPECT_TRUE(root->child(0)->child(0)->font(0).bold());
        EXPECT_TRUE(root->child(1)->font(0).bold());
        EXPECT_EQ(w.dbgPregled->dataSet(), &w.ctx.odsPregled);

        // Row 0 is superseded by the correction: normal type; the others bold.
        for (int row = 0; row < 3; ++row) {
            QStyleOptionViewItem option;
            option.font.setBold(true);
            w.dbgPregledDrawColumnCell(row, 0, option);
            EXPECT_EQ(option.font.bold(), row != 0) << row;
        }

        // A node click moves the grid to its summary.
        w.tvPregled->setCurrentItem(root->child(1));
        w.tvPregledClick();
        EXPECT_EQ(w.ctx.odsPregled.FieldByName("ID_REK2_ZBIR")->AsInteger(), 3);
        w.close();
    }
    rek2::setDialogInterceptor(nullptr);
    qunsetenv("REK2_HOME");
}
