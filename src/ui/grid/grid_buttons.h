#pragma once
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QVector>

class QToolButton;

namespace rek2 {

class TFwwDBGrid;

// The grid's tool buttons, in the bit order of the gridButtons set.
enum GridButton {
    gbLocate,
    gbZoom,
    gbView,
    gbPrint,
    gbPrintGroup,
    gbRefresh,
    gbSort,
    gbGraph,
    gbTitleWordWrap,
    gbCopyToClip,
    gbExport,
};
using GridButtonSet = unsigned;
constexpr GridButtonSet gbAll = (1u << (gbExport + 1)) - 1;
constexpr GridButtonSet gridButtonBit(GridButton b)
{
    return 1u << b;
}

// The eleven 18 x 18 tool buttons, made once for the program and attached to
// one grid at a time: the focused grid whose title was clicked.
class GridButtons : public QObject
{
    Q_OBJECT
public:
    static GridButtons& instance();
    // Detaches from any grid, or only from `grid` when one is named; nothing
    // when the row was never made (a closing window must not make it).
    static void detachIfAny(const TFwwDBGrid* grid = nullptr);

    // The button flags in the row's order (position 1 to 11).
    static const QVector<GridButton>& order();
    // The bitmap of a button, "MSB_ZOOM" and so on: 15 x 15, drawn here.
    static QPixmap bitmap(const QString& name);
    static QString bitmapName(GridButton b);

    void attach(TFwwDBGrid* grid);
    void detach();
    TFwwDBGrid* grid() const;
    // The button of flag `b` (for tests and screenshots).
    QToolButton* button(GridButton b) const;

    static constexpr int kSize = 18;
    static constexpr int kLeft = 8;

private:
    GridButtons();
    void clicked(GridButton b);

    QVector<QToolButton*> buttons_; // in the row's order
    QPointer<TFwwDBGrid> grid_;
};

} // namespace rek2
