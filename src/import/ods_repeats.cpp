#include "import/ods_repeats.h"

#include "import/workbook.h"

#include <QFile>
#include <QXmlStreamReader>
#include <zip.h>

#include <memory>

namespace rek2::importxls {

void repeatOdsRows(const QString& path, SheetTable& table)
{
    int error = 0;
    zip_t* z = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    if (!z)
        return; // the reader already reported a broken package
    std::unique_ptr<zip_t, void (*)(zip_t*)> guard(z, [](zip_t* p) { zip_discard(p); });
    zip_file_t* f = zip_fopen(z, "content.xml", 0);
    if (!f)
        return;
    std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> file(f, zip_fclose);

    QXmlStreamReader xml;
    int tables = 0, depth = 0, row = 0;
    bool done = false;
    const int lastRow = table.rowCount();
    std::unique_ptr<char[]> buffer(new char[1 << 20]);
    zip_int64_t n;
    while (!done && (n = zip_fread(f, buffer.get(), 1 << 20)) > 0) {
        xml.addData(QByteArray(buffer.get(), static_cast<qsizetype>(n)));
        while (!done && !xml.atEnd()) {
            const auto token = xml.readNext();
            if (token == QXmlStreamReader::StartElement) {
                if (xml.name() == QLatin1String("table")) {
                    ++tables;
                    ++depth;
                } else if (tables == 1 && depth == 1 && xml.name() == QLatin1String("table-row")) {
                    int count = 1;
                    for (const auto& a : xml.attributes())
                        if (a.name() == QLatin1String("number-rows-repeated"))
                            count = std::max(1, a.value().toInt());
                    ++row;
                    if (count > 1 && row <= lastRow)
                        table.repeatRow(row, count - 1);
                    row += count - 1;
                    // Rows below the last one read hold nothing to copy.
                    done = row >= lastRow;
                }
            } else if (token == QXmlStreamReader::EndElement && xml.name() == QLatin1String("table")) {
                --depth;
                if (tables == 1)
                    done = true;
            }
        }
        if (xml.hasError() && xml.error() != QXmlStreamReader::PrematureEndOfDocumentError)
            throw ImportError(brokenWorkbookMessage(path, xml.errorString()));
    }
}

} // namespace rek2::importxls
