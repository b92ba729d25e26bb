#pragma once
#include <QStyleOptionViewItem>
#include <QTableView>
#include <functional>

namespace rek2 {

class DataSet;
class DataSetModel;
struct GridSettings;

// The data grid of every tab: a table view over one dataset. Rows are read
// from the dataset when they are painted, never copied up front, so large
// results stay smooth. The current row follows the dataset and the dataset
// follows the current row.
//
// The tool-button row, the grid dialogs, printing and export attach through
// OnTitleClick / OnZoom and the dataset; they are not part of this class.
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

private:
    void zoom();
    void setTitleColour(const QColor& colour);
    void followDataSetRow(int row);

    DataSetModel* model_ = nullptr;
    bool multiSelect_ = false;
    bool syncing_ = false;
};

} // namespace rek2
