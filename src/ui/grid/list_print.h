#pragma once
#include "gridexport/columns.h"

#include <QFont>
#include <QString>

class QPrinter;
class QWidget;

namespace rek2 {

class DataSet;
class Progress;

// The list print of a grid: the visible columns laid out on portrait pages,
// a header with date, time and page number on each page, the title, the
// column captions and one line per row, "> > >" where a page ends. Only the
// printer's page range is drawn (all pages when it has none). Reads the rows
// without moving the dataset. Returns false when Cancel was pressed (the
// job is aborted); printer errors abort the job and throw DbError-free
// std::runtime_error with the printer's state.
bool printList(QPrinter& printer, const QString& title, const DataSet& ds, const QVector<GridColumn>& columns,
               const QFont& font, Progress* progress = nullptr);

// How many of `columns` fit across a page of `printer` (the rest are not printed).
int columnsThatFit(QPrinter& printer, const QVector<GridColumn>& columns, const QFont& font);

// The same after the print dialog (pages 1 to 999, print to file allowed);
// cancelling the dialog prints nothing. True when printed.
bool printListWithDialog(QWidget* parent, const QString& title, const DataSet& ds,
                         const QVector<GridColumn>& columns, const QFont& font, Progress* progress);

} // namespace rek2
