#include "ui/grid/gridsettings.h"
#include "ui/grid/tfwwdbgrid.h"

#include <QFile>
#include <QHeaderView>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using rek2::GridSettings;

TEST(GridSettings, ReadFromNewLookIniWhateverTheCaseOfItsName)
{
    struct Case
    {
        const char* fileName;
        const char* content;
        bool rowSelect;
        int fontSize;
    } cases[] = {
        {nullptr, "", true, 8}, // no file: defaults
        {"NEWLOOK.INI", "[QUOR]\r\nGridRowSelect=F\r\nFontSize=10\r\n", false, 10},
        {"NewLook.ini", "[quor]\ngridrowselect=F\n", false, 8}, // names matched without case
        {"newlook.ini", "[QUOR]\nGridRowSelect=f\n", true, 8},  // only a capital F switches it off
        {"NEWLOOK.INI", "[QUOR]\nGridRowSelect=N\nFontSize=velik\n", true, 8},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        if (c.fileName) {
            QFile f(dir.filePath(c.fileName));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(c.content);
        }
        const GridSettings g = GridSettings::read(dir.path() + "/");
        EXPECT_EQ(g.RowSelect, c.rowSelect) << c.content;
        EXPECT_EQ(g.FontSize, c.fontSize) << c.content;
        EXPECT_EQ(g.LineHeight, 18);
    }
}

TEST(GridSettings, GridAppliesThem)
{
    rek2::TFwwDBGrid grid;
    GridSettings g;
    grid.applySettings(g);
    EXPECT_TRUE(grid.font().bold());
    EXPECT_EQ(grid.font().pointSize(), 8);
    EXPECT_FALSE(grid.horizontalHeader()->font().bold());
    EXPECT_EQ(grid.selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_FALSE(grid.verticalHeader()->isVisibleTo(&grid));

    g.RowSelect = false;
    grid.applySettings(g);
    EXPECT_EQ(grid.selectionBehavior(), QAbstractItemView::SelectItems);
    EXPECT_TRUE(grid.verticalHeader()->isVisibleTo(&grid)); // the row indicator
}
