#include "ui/grid/grid_buttons.h"

#include "ui/grid/tfwwdbgrid.h"

#include <QLabel>
#include <QToolButton>

namespace rek2 {

namespace {
GridButtons* existing = nullptr;
} // namespace

const QVector<GridButton>& GridButtons::order()
{
    static const QVector<GridButton> o{gbZoom, gbView,          gbPrint, gbPrintGroup, gbLocate, gbRefresh,
                                       gbSort, gbTitleWordWrap, gbGraph, gbCopyToClip, gbExport};
    return o;
}

QString GridButtons::bitmapName(GridButton b)
{
    switch (b) {
    case gbZoom:
        return QStringLiteral("MSB_ZOOM");
    case gbView:
        return QStringLiteral("MSB_VIEW");
    case gbPrint:
        return QStringLiteral("MSB_PRINT");
    case gbPrintGroup:
        return QStringLiteral("MSB_PRINTGROUP");
    case gbLocate:
        return QStringLiteral("MSB_LOCATE");
    case gbRefresh:
        return QStringLiteral("MSB_REFRESH");
    case gbSort:
        return QStringLiteral("MSB_SORT");
    case gbTitleWordWrap:
        return QStringLiteral("MSB_TITLEWORDWRAP");
    case gbGraph:
        return QStringLiteral("MSB_BAR");
    case gbCopyToClip:
        return QStringLiteral("MSB_COPYTOCLIP");
    case gbExport:
        return QStringLiteral("MSB_EXPORT");
    }
    return {};
}

namespace {

QString hintOf(GridButton b)
{
    switch (b) {
    case gbZoom:
        return QStringLiteral("Podrobnosti");
    case gbView:
        return QStringLiteral("Izbira stolpcev");
    case gbPrint:
        return QStringLiteral("Tiskanje");
    case gbPrintGroup:
        return QStringLiteral("Tiskanje z grupiranjem");
    case gbLocate:
        return QStringLiteral("Iskanje");
    case gbRefresh:
        return QStringLiteral("Osveži");
    case gbSort:
        return QStringLiteral("Sortiranje");
    case gbTitleWordWrap:
        return QStringLiteral("Prelom naslovov");
    case gbGraph:
        return QStringLiteral("Graf");
    case gbCopyToClip:
        return QStringLiteral("Kopiraj v odložišče");
    case gbExport:
        return QStringLiteral("Izvoz");
    }
    return {};
}

} // namespace

GridButtons::GridButtons()
{
    int n = 1;
    for (GridButton b : order()) {
        auto* button = new QToolButton;
        button->setObjectName(QStringLiteral("StdBtn%1").arg(n++));
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus); // a click must not take the focus from the grid
        button->setFixedSize(kSize, kSize);
        button->setIconSize(QSize(15, 15));
        button->setIcon(QIcon(bitmap(bitmapName(b))));
        button->setToolTip(hintOf(b));
        button->hide();
        connect(button, &QToolButton::clicked, this, [this, b] { clicked(b); });
        buttons_.push_back(button);
    }
}

GridButtons& GridButtons::instance()
{
    if (!existing)
        existing = new GridButtons;
    return *existing;
}

void GridButtons::detachIfAny(const TFwwDBGrid* grid)
{
    if (existing && (!grid || existing->grid() == grid))
        existing->detach();
}

TFwwDBGrid* GridButtons::grid() const
{
    return grid_.data();
}

QToolButton* GridButtons::button(GridButton b) const
{
    return buttons_.value(int(order().indexOf(b)));
}

void GridButtons::attach(TFwwDBGrid* grid)
{
    if (grid_ && grid_ != grid)
        grid_->hideButtonRow();
    grid_ = grid;
    const QRect caption = grid->captionLabel()->geometry();
    int x = kLeft;
    for (int i = 0; i < buttons_.size(); ++i) {
        QToolButton* b = buttons_[i];
        b->setParent(grid);
        b->setEnabled(grid->gridButtons & gridButtonBit(order()[i]));
        b->setGeometry(x, caption.top() - 1, kSize, kSize);
        b->show();
        b->raise();
        x += kSize;
    }
}

void GridButtons::detach()
{
    for (QToolButton* b : buttons_) {
        b->hide();
        b->setParent(nullptr);
    }
    grid_ = nullptr;
}

void GridButtons::clicked(GridButton b)
{
    if (QPointer<TFwwDBGrid> grid = grid_)
        grid->runButton(b);
}

} // namespace rek2
