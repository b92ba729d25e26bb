#include "grid/tfwwdbgrid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

namespace rek2 {

TFwwDBGrid::TFwwDBGrid(QWidget* parent) : QTableView(parent)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setAlternatingRowColors(false);
    setWordWrap(false);
    setTabKeyNavigation(false);
    verticalHeader()->setVisible(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(18);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(true);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
        if (OnTitleClick)
            OnTitleClick(section);
    });
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        if (OnCellClick && index.isValid())
            OnCellClick(index.column());
    });
}

TFwwDBGrid::~TFwwDBGrid() = default;

void TFwwDBGrid::setDataSet(TOracleDataSet* /*ds*/) {}

TOracleDataSet* TFwwDBGrid::dataSet() const
{
    return nullptr;
}

void TFwwDBGrid::setMultiSelect(bool on)
{
    multiSelect_ = on;
    setSelectionMode(on ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

bool TFwwDBGrid::isRowSelected(int row) const
{
    return selectionModel() && model() && selectionModel()->isRowSelected(row, QModelIndex());
}

bool TFwwDBGrid::currentRowSelected() const
{
    return currentIndex().isValid() && isRowSelected(currentIndex().row());
}

QList<int> TFwwDBGrid::selectedRows() const
{
    QList<int> rows;
    if (!selectionModel())
        return rows;
    for (const QModelIndex& i : selectionModel()->selectedRows())
        rows << i.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TFwwDBGrid::applyColumnLayout() {}

void TFwwDBGrid::zoom()
{
    if (OnZoom)
        OnZoom();
}

void TFwwDBGrid::keyPressEvent(QKeyEvent* e)
{
    // Enter zooms and goes no further; Ctrl+Delete never deletes a row.
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        zoom();
        e->accept();
        return;
    }
    if (e->key() == Qt::Key_Delete && (e->modifiers() & Qt::ControlModifier)) {
        e->accept();
        return;
    }
    QTableView::keyPressEvent(e);
}

void TFwwDBGrid::mouseDoubleClickEvent(QMouseEvent* e)
{
    QTableView::mouseDoubleClickEvent(e);
    if (OnDblClick)
        OnDblClick();
    zoom();
}

void TFwwDBGrid::focusOutEvent(QFocusEvent* e)
{
    QTableView::focusOutEvent(e);
    // Only leaving for another control of the window counts, not a dialog
    // or menu opening over it.
    if (e->reason() == Qt::ActiveWindowFocusReason || e->reason() == Qt::PopupFocusReason)
        return;
    if (OnExit)
        OnExit();
}

void TFwwDBGrid::wheelEvent(QWheelEvent* e)
{
    QTableView::wheelEvent(e);
}

void TFwwDBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
}

void TFwwDBGrid::followDataSetRow(int /*row*/) {}

} // namespace rek2
