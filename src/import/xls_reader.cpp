// .xls (BIFF) through libfreexl: it reports dates as their own cell type.
#include "import/workbook.h"

#include <QFile>
#include <freexl.h>

namespace rek2::importxls {

namespace {

struct XlsHandle
{
    const void* h = nullptr;
    ~XlsHandle()
    {
        if (h)
            freexl_close(h);
    }
};

QString freexlError(int code)
{
    switch (code) {
    case FREEXL_FILE_NOT_FOUND:
        return QStringLiteral("datoteke ni mogoče odpreti");
    case FREEXL_INSUFFICIENT_MEMORY:
        return QStringLiteral("premalo pomnilnika");
    case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
        return QStringLiteral("v datoteki ni delovnega zvezka");
    case FREEXL_INVALID_CHARACTER:
    case FREEXL_UNSUPPORTED_CHARSET:
        return QStringLiteral("neznan nabor znakov");
    default:
        return QStringLiteral("napaka %1").arg(code);
    }
}

} // namespace

SheetTable readXlsWorkbook(const QString& path)
{
    XlsHandle x;
    const QByteArray name = QFile::encodeName(path);
    int rc = freexl_open(name.constData(), &x.h);
    if (rc != FREEXL_OK)
        throw ImportError(brokenWorkbookMessage(path, freexlError(rc)));
    unsigned int info = 0;
    if (freexl_get_info(x.h, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK && info == FREEXL_BIFF_OBFUSCATED)
        throw ImportError(protectedWorkbookMessage(path));
    if (freexl_get_info(x.h, FREEXL_BIFF_SHEET_COUNT, &info) != FREEXL_OK || info == 0)
        throw ImportError(brokenWorkbookMessage(path, QStringLiteral("ni delovnega lista")));
    rc = freexl_select_active_worksheet(x.h, 0);
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (rc == FREEXL_OK)
        rc = freexl_worksheet_dimensions(x.h, &rows, &columns);
    if (rc != FREEXL_OK)
        throw ImportError(brokenWorkbookMessage(path, freexlError(rc)));

    SheetTable table;
    for (unsigned int r = 0; r < rows; ++r) {
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue v;
            rc = freexl_get_cell_value(x.h, r, c, &v);
            if (rc != FREEXL_OK)
                throw ImportError(brokenWorkbookMessage(path, freexlError(rc)));
            const int row = static_cast<int>(r) + 1, col = c + 1;
            switch (v.type) {
            case FREEXL_CELL_INT:
                table.setNumber(row, col, v.value.int_value);
                break;
            case FREEXL_CELL_DOUBLE:
                table.setNumber(row, col, v.value.double_value);
                break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
            case FREEXL_CELL_TIME:
                table.setText(row, col, v.value.text_value ? v.value.text_value : "");
                break;
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME:
                // "YYYY-MM-DD" or "YYYY-MM-DD HH:MM:SS": the day counts.
                table.setDate(
                    row, col,
                    QDate::fromString(QString::fromLatin1(v.value.text_value).left(10), Qt::ISODate));
                break;
            default:
                break;
            }
        }
    }
    table.trim();
    return table;
}

} // namespace rek2::importxls
