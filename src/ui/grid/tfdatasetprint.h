#pragma once
#include "gridexport/columns.h"
#include "ui/grid/dialog_base.h"

#include <memory>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace rek2 {

class DataSet;
class PrintTable;
class TFwwDBGrid;

// The print window: the rows of a grid copied into a local table of its own,
// sorted ("Sortiranje") or grouped with totals ("Grupiranje") by the fields
// chosen on the settings page, each result shown in a grid that prints,
// copies and charts like any other. Modeless, one window for the program.
class TfDataSetPrint : public TDialog
{
    Q_OBJECT
public:
    static TfDataSetPrint& instance();

    // Rebuilds the local table for the grid's visible columns and shows the
    // settings page with `title`. Errors building the table are shown.
    void open(const DataSet& source, const QVector<GridColumn>& columns, const QString& title);

    // The page buttons; public for tests.
    void sortiranjeClick();
    void grupiranjeClick();
    // A click on the local grid's title `column` (0 = "N").
    void localTitleClick(int column);
    void groupListClick(int row);
    void sumListClick(int row);

    QTabWidget* pages;
    QPlainTextEdit* mTitle;
    TFwwDBGrid* dbgLocal;
    QListWidget* lbGroup;
    QListWidget* lbSum;
    QCheckBox* cbShowOperator;
    QLineEdit* eTotalLabel;
    QPushButton* bSortiranje;
    QPushButton* bGrupiranje;
    TFwwDBGrid* dbgSort;
    TFwwDBGrid* dbgGroup;

    PrintTable* table() const { return table_.get(); }
    DataSet& sortResult() const { return *sorted_; }
    DataSet& groupResult() const { return *grouped_; }

    std::function<void(const QString&)> showMessage;

protected:
    void hideEvent(QHideEvent* e) override;

private:
    explicit TfDataSetPrint(QWidget* parent = nullptr);
    ~TfDataSetPrint() override;
    void showLists();
    bool copyRows();
    void titleChanged();
    void discard();

    std::unique_ptr<DataSet> local_;
    std::unique_ptr<DataSet> sorted_;
    std::unique_ptr<DataSet> grouped_;
    std::unique_ptr<PrintTable> table_;
    int groupColumns_ = 0;
};

} // namespace rek2
