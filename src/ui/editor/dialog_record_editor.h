#pragma once
#include "edit/nabor_actions.h"

#include <functional>

class QStyleOptionViewItem;
class QWidget;

namespace rek2 {

class Operator;

// The record editor as a modal TfDetailsDlg, created for one use.
class DialogRecordEditor : public RecordEditor
{
public:
    DialogRecordEditor(Operator& op, QWidget* parent) : op_(op), parent_(parent) {}
    int edit(DataSet& ds, const QString& editable, const QDateTime& date, int coupon, const QString& security,
             bool cancellationAllowed, const QString& lookup) override;

    // Shows database errors the dialog's buttons meet (the window's handler).
    std::function<void(const QString&)> onError;

private:
    Operator& op_;
    QWidget* parent_;
};

// The collection tab's grids: a selected cell looks unselected while its grid
// has no focus.
struct NaborDrawing
{
    static void drawColumnCell(bool gridHasFocus, QStyleOptionViewItem& option);
};

} // namespace rek2
