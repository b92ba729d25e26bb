#pragma once
#include "gridexport/columns.h"
#include "gridexport/sort_info.h"
#include "ui/grid/grid_buttons.h"

#include <QStyleOptionViewItem>
#include <QTableView>
#include <functional>

class QLabel;

namespace rek2 {

class DataSet;
class DataSetModel;
struct GridSettings;

// The data grid of every tab: a table view over one dataset. Rows are read
// from the dataset when they are painted, never copied up front, so large
// results stay smooth. The current row follows the dataset and the dataset
// follows the current row.
//
// A click on a column title shows (or hides again) the row of tool buttons
// and the caption above the grid; leaving the grid hides it. The buttons
// open the grid services: column chooser, list print, print window, locate,
// refresh, sort, title word wrap, chart, copy to clipboard and export.
enum TLabelAlign { laNone, laLeft, laRight, laTop, laBottom };

class TFwwDBGrid : public QTableView
{
    Q_OBJECT
public:
    explicit TFwwDBGrid(QWidget* parent = nullptr);
    ~TFwwDBGrid() override;

    // Binds the grid to a dataset (nullptr unbinds). The grid does not own it.
    void setDataSet(DataSet* ds);
    DataSet* dataSet() const;
    DataSetModel* dataModel() const { return model_; }

    // Several rows can be marked (Ctrl/Shift click) besides the current one.
    void setMultiSelect(bool on);
    bool multiSelect() const { return multiSelect_; }
    // Whether the dataset row `row` (0-based) is marked.
    bool isRowSelected(int row) const;
    // Whether the dataset's current row is marked.
    bool currentRowSelected() const;
    QList<int> selectedRows() const;

    // Hooks the window's handlers set (all optional).
    std::function<void(int column)> OnCellClick;
    std::function<void()> OnDblClick;
    std::function<void()> OnExit;
    std::function<void()> OnZoom;
    std::function<void(int column)> OnTitleClick;
    // Called before a data cell is painted; the handler may change the font
    // and colours in `option`. `row` is the dataset row.
    std::function<void(int row, int column, QStyleOptionViewItem& option)> OnDrawColumnCell;

    // The tool-button row and the caption. A cleared flag disables its button.
    GridButtonSet gridButtons = gbAll;
    QString labelText;
    int labelSpacing = 5;
    // Only laNone does anything: the caption, once hidden with the grid, stays hidden.
    TLabelAlign labelAlign = laTop;
    QLabel* captionLabel() const { return caption_; }
    bool buttonRowShown() const { return rowShown_; }
    void showButtonRow();
    void hideButtonRow();
    // What a button of the row does (also for tests and the window).
    void runButton(GridButton b);

    // Column titles wrap at words in a 45-pixel title row.
    bool TitleWordwrap() const { return titleWordWrap_; }
    void setTitleWordwrap(bool on);

    // The column layout: one line per shown field in display order, "field
    // name TAB display width TAB display label". Setting a non-empty list
    // shows exactly the listed fields that exist, in its order.
    QStringList selected() const;
    void setSelected(const QStringList& layout);
    // The shown columns in display order, with their widths in characters.
    QVector<GridColumn> gridColumns() const;

    // The sort choices of the sort dialog, and the one chosen (-1: none).
    QVector<TSortInfoItem> SortInfo;
    int chosenSortItem = -1;
    std::function<void()> OnPrint;
    std::function<void(TFwwDBGrid& grid, const TSortInfoItem& item)> OnCustomSort;

    // The services behind the buttons.
    void refreshDataSet();
    void copyToClipboard();
    void chooseColumns();
    void chooseSort();
    void locate();
    void printList();
    void openPrintWindow();
    void showChart();
    void exportRows();

    // Fonts (bold text, regular titles), row height and row select.
    void applySettings(const GridSettings& settings);

    // Refreshes column captions and widths from the dataset's field
    // definitions (done on every reset of the dataset).
    void applyColumnLayout();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void updateGeometries() override;

private:
    void placeButtonRow();
    void toggleButtonRow();
    void reportError(const QString& text);
    void columnResized(int column, int oldSize, int newSize);
    int charWidth() const;
    void zoom();
    void setTitleColour(const QColor& colour);
    void followDataSetRow(int row);

    DataSetModel* model_ = nullptr;
    bool multiSelect_ = false;
    bool syncing_ = false;
    QLabel* caption_ = nullptr;
    bool rowShown_ = false;
    bool captionSuppressed_ = false;
    bool titleWordWrap_ = false;
    bool applyingLayout_ = false;
    int rowTop_ = 0; // room kept above the titles for the button row
    bool placingRow_ = false;
};

} // namespace rek2
