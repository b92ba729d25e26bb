#include "ui/editor/dialog_record_editor.h"

#include "ui/editor/tfdetailsdlg.h"

#include <QStyle>
#include <QStyleOptionViewItem>

namespace rek2 {

int DialogRecordEditor::edit(DataSet& ds, const QString& editable, const QDateTime& date, int coupon,
                             const QString& security, bool cancellationAllowed, const QString& lookup)
{
    TfDetailsDlg dlg(op_, parent_);
    if (onError)
        dlg.onError = onError;
    dlg.Pripravi(&ds, editable, date, coupon, security, cancellationAllowed, lookup);
    return dlg.exec();
}

void NaborDrawing::drawColumnCell(bool gridHasFocus, QStyleOptionViewItem& option)
{
    if (gridHasFocus || !(option.state & QStyle::State_Selected))
        return;
    option.state &= ~QStyle::State_Selected;
    option.backgroundBrush = QBrush(Qt::white);
    option.palette.setColor(QPalette::Text, Qt::black);
    option.palette.setColor(QPalette::HighlightedText, Qt::black);
    option.palette.setColor(QPalette::Highlight, Qt::white);
}

} // namespace rek2
