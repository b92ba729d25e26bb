#pragma once
#include "ui/grid/dialog_base.h"

#include <QTimer>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace rek2 {

class DataSet;

// The column chooser: shown columns on the left (in order), hidden ones on
// the right (sorted). Made once and reused by every grid.
class TsortSelect : public TDialog
{
    Q_OBJECT
public:
    static TsortSelect& instance();

    // One column: the dataset field and its caption.
    struct Item
    {
        int field;
        QString label;
    };
    // Fills the two lists; `ds` is where width and caption edits are applied.
    void prepare(DataSet* ds, const QVector<Item>& shown, const QVector<Item>& hidden);
    // Shows the dialog modally; true when confirmed.
    bool execute(DataSet* ds, const QVector<Item>& shown, const QVector<Item>& hidden);
    QVector<Item> shownItems() const;
    QVector<Item> hiddenItems() const;

    QListWidget* lbShown;
    QListWidget* lbHidden;
    QPushButton* bRight;    // ">"
    QPushButton* bAllRight; // ">>"
    QPushButton* bLeft;     // "<"
    QPushButton* bAllLeft;  // "<<"
    QPushButton* bUp;
    QPushButton* bDown;
    QLineEdit* eWidth;
    QLineEdit* eLabel;
    QPushButton* bApply;
    QPushButton* bOK;
    QPushButton* bCancel;

    void moveRight();
    void moveAllRight();
    void moveLeft();
    void moveAllLeft();
    void moveUp();
    void moveDown();
    void applyWidthAndLabel();

private:
    explicit TsortSelect(QWidget* parent = nullptr);
    void updateButtons();
    void showSelected();
    void sortHidden();
    void startRepeat(void (TsortSelect::*move)());

    DataSet* ds_ = nullptr;
    QTimer repeat_;
    void (TsortSelect::*repeating_)() = nullptr;
};

} // namespace rek2
