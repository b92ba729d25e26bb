#pragma once
#include "gridexport/sort_info.h"
#include "ui/grid/dialog_base.h"

class QListWidget;
class QPushButton;

namespace rek2 {

// "Sort": the sort choices of a grid; a click on a line applies it at once.
// The datasets of this program offer no indexes, so the lines are the
// grid's SortInfo items.
class TfSort : public TDialog
{
    Q_OBJECT
public:
    static TfSort& instance();

    // Lists `items`; `chosen` is called with the index of a clicked line.
    void prepare(const QVector<TSortInfoItem>& items, int current, std::function<void(int)> chosen);
    void execute(const QVector<TSortInfoItem>& items, int current, std::function<void(int)> chosen);

    QListWidget* lbSort;
    QPushButton* bOK;

private:
    explicit TfSort(QWidget* parent = nullptr);
    std::function<void(int)> chosen_;
};

} // namespace rek2
