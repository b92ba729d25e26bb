// The grid services behind the tool buttons.
#include "db/dataset.h"
#include "db/error.h"
#include "gridexport/clipboard_text.h"
#include "gridexport/export_table.h"
#include "gridexport/progress.h"
#include "ui/grid/datasetmodel.h"
#include "ui/grid/list_print.h"
#include "ui/grid/tfdatasetprint.h"
#include "ui/grid/tflocate.h"
#include "ui/grid/tfprogress.h"
#include "ui/grid/tfsort.h"
#include "ui/grid/tfwwdbgrid.h"
#include "ui/grid/tgraf.h"
#include "ui/grid/tsortselect.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QMessageBox>

namespace rek2 {

namespace {

// Hourglass and the dataset's views held still for one service; both are
// restored on every way out.
class BusyDataSet
{
public:
    explicit BusyDataSet(DataSet* ds) : ds_(ds)
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        if (ds_)
            ds_->DisableControls();
    }
    ~BusyDataSet()
    {
        if (ds_)
            ds_->EnableControls();
        QApplication::restoreOverrideCursor();
    }
    BusyDataSet(const BusyDataSet&) = delete;
    BusyDataSet& operator=(const BusyDataSet&) = delete;

private:
    DataSet* ds_;
};

} // namespace

void TFwwDBGrid::runButton(GridButton b)
{
    if (!(gridButtons & gridButtonBit(b)))
        return;
    try {
        switch (b) {
        case gbZoom:
            zoom();
            break;
        case gbView:
            chooseColumns();
            break;
        case gbPrint:
            printList();
            break;
        case gbPrintGroup:
            openPrintWindow();
            break;
        case gbLocate:
            locate();
            break;
        case gbRefresh:
            refreshDataSet();
            break;
        case gbSort:
            chooseSort();
            break;
        case gbTitleWordWrap:
            setTitleWordwrap(!titleWordWrap_);
            break;
        case gbGraph:
            showChart();
            break;
        case gbCopyToClip:
            copyToClipboard();
            break;
        case gbExport:
            exportRows();
            break;
        }
    } catch (const OperationCancelled&) {
        // Cancel in a progress window ends the service without a message.
    } catch (const ExportError& e) {
        reportError(e.text);
    } catch (const ChartError& e) {
        reportError(e.text);
    } catch (const std::exception& e) {
        reportError(QString::fromUtf8(e.what()));
    }
}

void TFwwDBGrid::reportError(const QString& text)
{
    QMessageBox::warning(window(), QStringLiteral("Opozorilo!"), text);
}

void TFwwDBGrid::refreshDataSet()
{
    DataSet* ds = dataSet();
    if (!ds || !ds->Active())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        ds->Refresh();
    } catch (...) {
        QApplication::restoreOverrideCursor();
        throw;
    }
    QApplication::restoreOverrideCursor();
}

void TFwwDBGrid::copyToClipboard()
{
    DataSet* ds = dataSet();
    if (!ds || !ds->Active())
        return;
    QString text;
    {
        BusyDataSet busy(ds);
        text = clipboardText(*ds, gridColumns(), labelText, &TfProgress::instance());
        ds->First();
    }
    QGuiApplication::clipboard()->setText(text);
}

void TFwwDBGrid::chooseColumns()
{
    DataSet* ds = dataSet();
    if (!ds || !ds->Active())
        return;
    QVector<TsortSelect::Item> shown, hidden;
    QVector<bool> isShown(ds->FieldCount(), false);
    for (int c = 0; c < model_->columnCount(); ++c) {
        const int f = model_->fieldOfColumn(c);
        shown.push_back({f, ds->Fields(f)->DisplayLabel()});
        isShown[f] = true;
    }
    for (int f = 0; f < ds->FieldCount(); ++f)
        if (!isShown[f] &&
            ds->Fields(f)->FieldName().compare(QLatin1String("ROWID"), Qt::CaseInsensitive) != 0)
            hidden.push_back({f, ds->Fields(f)->DisplayLabel()});
    TsortSelect& dialog = TsortSelect::instance();
    const bool ok = dialog.execute(ds, shown, hidden);
    if (ok) {
        QStringList layout;
        for (const TsortSelect::Item& i : dialog.shownItems())
            layout << ds->Fields(i.field)->FieldName();
        // An empty list would mean "all fields": a grid may show none.
        model_->setColumnOrder(layout, true);
    }
    // Captions and widths applied in the dialog stay also after Cancel.
    model_->refreshHeaders();
    applyColumnLayout();
}

void TFwwDBGrid::chooseSort()
{
    TfSort::instance().execute(SortInfo, chosenSortItem, [this](int index) {
        if (index < 0 || index >= SortInfo.size())
            return;
        chosenSortItem = index;
        if (OnCustomSort)
            OnCustomSort(*this, SortInfo[index]);
    });
}

void TFwwDBGrid::locate()
{
    DataSet* ds = dataSet();
    if (!ds || !ds->Active())
        return;
    TfLocate::instance().execute(ds);
}

void TFwwDBGrid::printList()
{
    if (OnPrint) {
        OnPrint();
        return;
    }
    DataSet* ds = dataSet();
    if (!ds || !ds->Active())
        return;
    printListWithDialog(window(), labelText, *ds, gridColumns(), font(), &TfProgress::instance());
}

void TFwwDBGrid::openPrintWindow()
{
    DataSet* ds = dataSet();
    if (!ds || !ds->Active())
        return;
    TfDataSetPrint::instance().open(*ds, gridColumns(), labelText);
}

void TFwwDBGrid::showChart()
{
    DataSet* ds = dataSet();
    if (!ds || !ds->Active() || model_->columnCount() < 2)
        return;
    showGridChart(window(), *ds, model_->fieldOfColumn(0), model_->fieldOfColumn(1));
}

void TFwwDBGrid::exportRows()
{
    DataSet* ds = dataSet();
    if (!ds || !ds->Active())
        return;
    QFileDialog dialog(window(), QStringLiteral("Izvoz"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QStringList filters{QStringLiteral("DBase (*.dbf *.DBF)"), QStringLiteral("Paradox (*.db *.DB)"),
                              QStringLiteral("Text fixed length (*.txt *.TXT)")};
    dialog.setNameFilters(filters);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    // The dialog adds the chosen kind's extension itself, so its overwrite
    // question is asked about the file that will really be written.
    static const QStringList suffixes{QStringLiteral("dbf"), QStringLiteral("db"), QStringLiteral("txt")};
    dialog.setDefaultSuffix(suffixes[0]);
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, filters](const QString& filter) {
        dialog.setDefaultSuffix(suffixes[std::clamp(int(filters.indexOf(filter)), 0, 2)]);
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const int kind = int(filters.indexOf(dialog.selectedNameFilter()));
    const QString path = dialog.selectedFiles().first();
    BusyDataSet busy(ds);
    setEnabled(false);
    try {
        exportDataSet(*ds, gridColumns(), path, exportFormatOfFilter(kind), &TfProgress::instance());
    } catch (...) {
        setEnabled(true);
        throw;
    }
    setEnabled(true);
}

} // namespace rek2
