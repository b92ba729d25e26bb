#pragma once
#include "import/sheet_table.h"

#include <QString>
#include <stdexcept>

namespace rek2::importxls {

// A workbook that cannot be read; the message is the operator's, in Slovenian.
class ImportError : public std::runtime_error
{
public:
    explicit ImportError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message)
    {
    }
    const QString& message() const { return message_; }

private:
    QString message_;
};

enum class WorkbookKind { Unknown, Xlsx, Ods, Xls, Csv };

// The kind by the file's content (signatures), the name's extension only
// telling text files apart from anything else.
WorkbookKind detectWorkbookKind(const QString& path);

// Reads the first worksheet of an .xlsx, .ods, .xls or .csv file: the area
// from A1 to the last used cell. Throws ImportError.
SheetTable readWorkbook(const QString& path);

// The file dialog's filter: the four kinds together, each alone, all files.
QString workbookFileFilter();

// Readers of each kind (workbook.cpp picks one).
SheetTable readOrcusWorkbook(const QString& path, WorkbookKind kind); // xlsx, ods
SheetTable readXlsWorkbook(const QString& path);
SheetTable readCsvWorkbook(const QString& path);

// Messages shared by the readers.
QString brokenWorkbookMessage(const QString& path, const QString& detail);
QString protectedWorkbookMessage(const QString& path);

} // namespace rek2::importxls
