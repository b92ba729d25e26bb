#include "ui/editor/dialog_record_editor.h"

#include <QColor>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <gtest/gtest.h>

using namespace rek2;

TEST(NaborDrawing, SelectionShowsOnlyInTheFocusedGrid)
{
    QStyleOptionViewItem option;
    option.state = QStyle::State_Selected;
    NaborDrawing::drawColumnCell(true, option);
    EXPECT_TRUE(option.state & QStyle::State_Selected);
    NaborDrawing::drawColumnCell(false, option);
    EXPECT_FALSE(option.state & QStyle::State_Selected);
    EXPECT_EQ(option.backgroundBrush.color(), QColor(Qt::white));
}
