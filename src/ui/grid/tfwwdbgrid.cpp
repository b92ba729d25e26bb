#include "ui/grid/tfwwdbgrid.h"
#include "db/dataset.h"
#include "ui/grid/datasetmodel.h"
#include "ui/grid/gridsettings.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSet>
#include <QStyledItemDelegate>

namespace rek2 {

namespace {

// Lets the window's OnDrawColumnCell handler change a cell's font and
// colours before the default drawing.
class CellDelegate : public QStyledItemDelegate
{
public:
    CellDelegate(TFwwDBGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        if (!grid_->OnDrawColumnCell) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem opt = option;
        grid_->OnDrawColumnCell(index.row(), index.column(), opt);
        QStyledItemDelegate::paint(painter, opt, index);
    }

private:
    TFwwDBGrid* grid_;
};

} // namespace

TFwwDBGrid::TFwwDBGrid(QWidget* parent) : QTableView(parent), model_(new DataSetModel(this))
{
    setModel(model_);
    setItemDelegate(new CellDelegate(this));
    connect(model_, &DataSetModel::dataSetRowChanged, this, &TFwwDBGrid::followDataSetRow);
    connect(model_, &DataSetModel::modelRebuilt, this, [this] {
        applyColumnLayout();
        if (DataSet* ds = dataSet(); ds && ds->Active())
            followDataSetRow(ds->CurrentRow());
    });
    applySettings(GridSettings::current());
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setAlternatingRowColors(false);
    setWordWrap(false);
    setTabKeyNavigation(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
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

void TFwwDBGrid::applySettings(const GridSettings& g)
{
    QFont f = font();
    f.setFamily(g.FontName);
    f.setPointSize(g.FontSize);
    f.setBold(true);
    setFont(f);
    QFont title = horizontalHeader()->font();
    title.setFamily(g.TitleFontName);
    title.setPointSize(g.TitleFontSize);
    title.setBold(false);
    horizontalHeader()->setFont(title);
    verticalHeader()->setDefaultSectionSize(std::max(g.LineHeight, QFontMetrics(f).height() + 2));
    // Without row select a click picks one cell and the row indicator shows.
    setSelectionBehavior(g.RowSelect ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
    verticalHeader()->setVisible(!g.RowSelect);
}

TFwwDBGrid::~TFwwDBGrid()
{
    model_->setDataSet(nullptr);
}

void TFwwDBGrid::setDataSet(DataSet* ds)
{
    model_->setDataSet(ds);
}

DataSet* TFwwDBGrid::dataSet() const
{
    return model_->dataSet();
}

void TFwwDBGrid::setMultiSelect(bool on)
{
    multiSelect_ = on;
    setSelectionMode(on ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

bool TFwwDBGrid::isRowSelected(int row) const
{
    return selectionModel() && model() && selectionModel()->rowIntersectsSelection(row, QModelIndex());
}

bool TFwwDBGrid::currentRowSelected() const
{
    return currentIndex().isValid() && isRowSelected(currentIndex().row());
}

QList<int> TFwwDBGrid::selectedRows() const
{
    // From the selection's ranges, so marking many rows stays cheap.
    QSet<int> rows;
    if (selectionModel())
        for (const QItemSelectionRange& r : selectionModel()->selection())
            for (int row = r.top(); row <= r.bottom(); ++row)
                rows.insert(row);
    QList<int> sorted(rows.begin(), rows.end());
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

void TFwwDBGrid::applyColumnLayout()
{
    DataSet* ds = dataSet();
    if (!ds || !ds->Active())
        return;
    // Widths from the field definitions: text fields as wide as their size
    // (within reason), numbers and dates as wide as their usual values, and
    // never narrower than the caption.
    const QFontMetrics fm(font());
    const QFontMetrics titleFm(horizontalHeader()->font());
    const int charW = fm.horizontalAdvance(QLatin1Char('0'));
    for (int c = 0; c < model_->columnCount(); ++c) {
        const TField* f = ds->Fields(model_->fieldOfColumn(c));
        int chars = 12;
        switch (f->DataType()) {
        case FieldType::String:
            chars = f->Size() > 0 ? std::clamp(f->Size(), 3, 40) : 20;
            break;
        case FieldType::Integer:
            chars = 8;
            break;
        case FieldType::Float:
            chars = 14;
            break;
        case FieldType::Date:
            chars = 10;
            break;
        case FieldType::Variant:
            chars = 12;
            break;
        }
        const int width = std::max(chars * charW, titleFm.horizontalAdvance(f->DisplayLabel())) + 12;
        setColumnWidth(c, width);
    }
}

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

void TFwwDBGrid::setTitleColour(const QColor& colour)
{
    QPalette p = horizontalHeader()->palette();
    p.setColor(QPalette::ButtonText, colour);
    horizontalHeader()->setPalette(p);
}

void TFwwDBGrid::focusInEvent(QFocusEvent* e)
{
    QTableView::focusInEvent(e);
    // The titles turn navy while the grid has the focus.
    setTitleColour(QColor(0, 0, 128));
}

void TFwwDBGrid::focusOutEvent(QFocusEvent* e)
{
    QTableView::focusOutEvent(e);
    setTitleColour(palette().color(QPalette::ButtonText));
    // Only leaving for another control of the window counts, not a dialog
    // or menu opening over it.
    if (e->reason() == Qt::ActiveWindowFocusReason || e->reason() == Qt::PopupFocusReason)
        return;
    if (OnExit)
        OnExit();
}

void TFwwDBGrid::wheelEvent(QWheelEvent* e)
{
    // The wheel moves the dataset's current row by one, like the keyboard.
    DataSet* ds = dataSet();
    const int dy = e->angleDelta().y();
    if (!ds || !ds->Active() || dy == 0 || ds->State() != DataSetState::Browse) {
        QTableView::wheelEvent(e);
        return;
    }
    if (focusPolicy() != Qt::NoFocus && isEnabled())
        setFocus(Qt::MouseFocusReason);
    const int before = ds->CurrentRow();
    if (dy < 0)
        ds->Next();
    else
        ds->Prior();
    if (ds->CurrentRow() != before)
        e->accept();
    else
        QTableView::wheelEvent(e);
}

void TFwwDBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    // The operator moved: the dataset follows.
    DataSet* ds = dataSet();
    if (syncing_ || !ds || !ds->Active() || !current.isValid() || current.row() == ds->CurrentRow())
        return;
    if (ds->State() != DataSetState::Browse)
        return;
    syncing_ = true;
    ds->SetRecNo(current.row() + 1);
    syncing_ = false;
}

void TFwwDBGrid::followDataSetRow(int row)
{
    // The dataset moved (a caller, Locate, a refresh): the grid follows.
    if (syncing_ || row < 0 || row >= model_->rowCount())
        return;
    const int column = currentIndex().isValid() ? currentIndex().column() : 0;
    const QModelIndex target = model_->index(row, std::min(column, std::max(0, model_->columnCount() - 1)));
    if (!target.isValid() || target == currentIndex())
        return;
    syncing_ = true;
    // The current row is shown selected; several rows the operator marked
    // stay marked while the dataset moves.
    const bool keepMarks = multiSelect_ && selectedRows().size() > 1;
    const auto command = keepMarks ? QItemSelectionModel::NoUpdate
                                   : (QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    selectionModel()->setCurrentIndex(target, command);
    scrollTo(target);
    syncing_ = false;
}

} // namespace rek2
