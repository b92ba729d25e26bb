#pragma once
#include "gridexport/columns.h"

#include <QString>
#include <QVector>
#include <stdexcept>

namespace rek2 {

class DataSet;
class Progress;

enum class ExportFormat { DBase, Paradox, FixedText };

// The save dialog's filter order: dBase, Paradox, anything else fixed text.
ExportFormat exportFormatOfFilter(int filterIndex);

// An export that could not be written; the text is for the operator.
class ExportError : public std::runtime_error
{
public:
    explicit ExportError(const QString& message) : std::runtime_error(message.toStdString()), text(message) {}
    QString text;
};

// One column as a file of the chosen format holds it.
struct ExportField
{
    QString name;     // unique, only letters, digits and "_", within the format's length
    FieldType type;   // String, Integer, Float or Date (anything else is written as text)
    int width = 0;    // characters (text), digits with sign and point (numbers)
    int decimals = 0; // numbers
    int field = -1;   // dataset field
};

// Names and sizes of the exported columns; names are cut to `maxNameLength`
// and made unique.
QVector<ExportField> exportFields(const QVector<GridColumn>& columns, int maxNameLength);

// Writes every row of `ds` (the given columns) as a table of `format` at
// `path`. Text is written in Windows-1250, the code page marked in the file
// where the format has a place for it. The file appears whole or not at all:
// it is written under a temporary name beside the target and renamed over it
// at the end; an error or Cancel (OperationCancelled) removes the partial
// file and leaves an existing target as it was. A fixed-length text gets a
// schema file beside it (the same name with ".sch"). Throws ExportError.
void exportDataSet(const DataSet& ds, const QVector<GridColumn>& columns, const QString& path,
                   ExportFormat format, Progress* progress = nullptr);

// The schema file of a fixed-length text.
QString schemaPathOf(const QString& textPath);

} // namespace rek2
