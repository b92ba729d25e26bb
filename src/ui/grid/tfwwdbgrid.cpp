#include "ui/grid/tfwwdbgrid.h"
#include "db/dataset.h"
#include "ui/grid/datasetmodel.h"
#include "ui/grid/grid_buttons.h"
#include "ui/grid/gridsettings.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QSet>
#include <QShowEvent>
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
        // The cell's own values first, then the handler's changes on top: the
        // base paint() would fill the option anew from the model and so drop a
        // background the handler chose (leaving its light text on white).
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        grid_->OnDrawColumnCell(index.row(), index.column(), opt);
        const QWidget* widget = opt.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
    }

private:
    TFwwDBGrid* grid_;
};

int captionCounter = 0;

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
        toggleButtonRow();
    });
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, &TFwwDBGrid::columnResized);
    // The caption above the grid, shown with the tool-button row.
    caption_ = new QLabel(this);
    caption_->setObjectName(QStringLiteral("MemLabel%1").arg(++captionCounter));
    QFont captionFont(QStringLiteral("Arial"), 8);
    captionFont.setBold(true);
    caption_->setFont(captionFont);
    caption_->setAttribute(Qt::WA_TransparentForMouseEvents);
    caption_->hide();
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
    // The shared buttons are children while attached: take them back first.
    GridButtons::detachIfAny(this);
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
    // Widths from the fields' display widths (characters), never narrower
    // than the caption unless the titles wrap.
    const QFontMetrics titleFm(horizontalHeader()->font());
    const int charW = charWidth();
    applyingLayout_ = true;
    for (int c = 0; c < model_->columnCount(); ++c) {
        const TField* f = ds->Fields(model_->fieldOfColumn(c));
        const int caption = titleWordWrap_ ? 0 : titleFm.horizontalAdvance(f->DisplayLabel());
        setColumnWidth(c, std::max(displayWidthOf(f->def()) * charW, caption) + 12);
    }
    applyingLayout_ = false;
}

int TFwwDBGrid::charWidth() const
{
    return std::max(1, QFontMetrics(font()).horizontalAdvance(QLatin1Char('0')));
}

void TFwwDBGrid::columnResized(int column, int, int newSize)
{
    // The operator dragged a column border: its display width follows.
    DataSet* ds = dataSet();
    if (applyingLayout_ || !ds || !ds->Active())
        return;
    const int field = model_->fieldOfColumn(column);
    if (field >= 0)
        ds->Fields(field)->def().displayWidth = std::clamp((newSize - 12) / charWidth(), 1, 999);
}

QVector<GridColumn> TFwwDBGrid::gridColumns() const
{
    QVector<GridColumn> out;
    DataSet* ds = dataSet();
    if (!ds || !ds->Active())
        return out;
    for (int c = 0; c < model_->columnCount(); ++c) {
        const int field = model_->fieldOfColumn(c);
        const TField* f = ds->Fields(field);
        GridColumn g;
        g.field = field;
        g.def = f->def();
        g.width = displayWidthOf(f->def());
        g.rightAligned = f->DataType() == FieldType::Integer || f->DataType() == FieldType::Float;
        out.push_back(g);
    }
    return out;
}

QStringList TFwwDBGrid::selected() const
{
    QStringList out;
    for (const GridColumn& c : gridColumns())
        out << c.def.name + QLatin1Char('\t') + QString::number(c.width) + QLatin1Char('\t') + c.label();
    return out;
}

void TFwwDBGrid::setSelected(const QStringList& layout)
{
    QStringList names;
    DataSet* ds = dataSet();
    for (const QString& line : layout) {
        const QStringList parts = line.split(QLatin1Char('\t'));
        names << parts.value(0);
        // Width and caption of a field that exists come with the line.
        if (TField* f = ds && ds->Active() ? ds->FindField(parts.value(0)) : nullptr) {
            if (parts.size() > 1 && parts[1].toInt() > 0)
                f->def().displayWidth = parts[1].toInt();
            if (parts.size() > 2 && !parts[2].isEmpty())
                f->def().displayLabel = parts[2];
        }
    }
    model_->setColumnOrder(names, !layout.isEmpty());
}

void TFwwDBGrid::setTitleWordwrap(bool on)
{
    titleWordWrap_ = on;
    QHeaderView* h = horizontalHeader();
    // The header takes the word-wrap flag together with its alignment.
    const int plain = int(h->defaultAlignment()) & ~int(Qt::TextWordWrap);
    h->setDefaultAlignment(Qt::Alignment(on ? plain | int(Qt::TextWordWrap) : plain));
    if (on) {
        h->setFixedHeight(45);
    } else {
        h->setMinimumHeight(0);
        h->setMaximumHeight(QWIDGETSIZE_MAX);
        h->setFixedHeight(h->sizeHint().height());
        h->setMinimumHeight(0);
        h->setMaximumHeight(QWIDGETSIZE_MAX);
    }
    applyColumnLayout();
    updateGeometries();
}

void TFwwDBGrid::toggleButtonRow()
{
    if (rowShown_) {
        hideButtonRow();
        return;
    }
    if (!hasFocus() && focusPolicy() != Qt::NoFocus)
        setFocus(Qt::MouseFocusReason);
    showButtonRow();
}

void TFwwDBGrid::showButtonRow()
{
    caption_->setText(labelText);
    caption_->setToolTip(labelText);
    rowShown_ = true;
    placeButtonRow();
    GridButtons::instance().attach(this);
}

void TFwwDBGrid::hideButtonRow()
{
    if (!rowShown_)
        return;
    rowShown_ = false;
    GridButtons::detachIfAny(this);
    placeButtonRow();
}

void TFwwDBGrid::placeButtonRow()
{
    // The row sits in a top margin of the grid; without it the grid has its
    // whole area back.
    if (!rowShown_) {
        caption_->hide();
        rowTop_ = 0;
        updateGeometries();
        return;
    }
    const int captionHeight = std::max(caption_->sizeHint().height(), GridButtons::kSize - 1);
    const int left =
        GridButtons::kLeft + GridButtons::kSize * int(GridButtons::order().size()) + labelSpacing;
    caption_->setGeometry(left, 1, std::max(0, width() - 252), captionHeight);
    caption_->setVisible(!captionSuppressed_);
    caption_->raise();
    rowTop_ = captionHeight + 1 + labelSpacing;
    updateGeometries();
}

void TFwwDBGrid::updateGeometries()
{
    // Moving the viewport below resizes it, which asks for geometries again:
    // that nested request must not put the old margins back.
    if (placingRow_)
        return;
    QTableView::updateGeometries();
    if (rowTop_ <= 0)
        return;
    // Room for the button row above the titles: the rows and titles move
    // down by its height.
    placingRow_ = true;
    const QMargins m = viewportMargins();
    const int titles = horizontalHeader()->isHidden() ? 0 : horizontalHeader()->height();
    setViewportMargins(m.left(), titles + rowTop_, m.right(), m.bottom());
    const QRect vg = viewport()->geometry();
    if (!horizontalHeader()->isHidden())
        horizontalHeader()->setGeometry(vg.left(), vg.top() - titles, vg.width(), titles);
    if (!verticalHeader()->isHidden())
        verticalHeader()->setGeometry(vg.left() - verticalHeader()->width(), vg.top(),
                                      verticalHeader()->width(), vg.height());
    placingRow_ = false;
}

void TFwwDBGrid::showEvent(QShowEvent* e)
{
    QTableView::showEvent(e);
    placeButtonRow();
}

void TFwwDBGrid::hideEvent(QHideEvent* e)
{
    QTableView::hideEvent(e);
    // With laNone the caption, once hidden with the grid, stays hidden.
    if (labelAlign == laNone && !e->spontaneous())
        captionSuppressed_ = true;
    hideButtonRow();
}

void TFwwDBGrid::resizeEvent(QResizeEvent* e)
{
    QTableView::resizeEvent(e);
    if (rowShown_)
        placeButtonRow();
}

void TFwwDBGrid::zoom()
{
    if ((gridButtons & gridButtonBit(gbZoom)) && OnZoom)
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
    hideButtonRow();
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
