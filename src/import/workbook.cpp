#include "import/workbook.h"

#include "base/system_errors.h"

#include <QFile>
#include <QFileInfo>
#include <zip.h>

namespace rek2::importxls {

namespace {

const QByteArray kZipMagic("PK\x03\x04", 4);
const QByteArray kOle2Magic("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);

// An encrypted .xlsx is a compound file holding an "EncryptedPackage" stream
// (its directory names are UTF-16).
bool isEncryptedPackage(QFile& f)
{
    static const QByteArray name = QByteArray("E\0n\0c\0r\0y\0p\0t\0e\0d\0P\0a\0c\0k\0a\0g\0e\0", 32);
    f.seek(0);
    QByteArray tail;
    while (!f.atEnd()) {
        const QByteArray chunk = tail + f.read(1 << 20);
        if (chunk.contains(name))
            return true;
        tail = chunk.right(name.size());
        if (chunk.size() <= tail.size())
            break;
    }
    return false;
}

WorkbookKind zipKind(const QString& path)
{
    int error = 0;
    zip_t* z = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    if (!z) // broken archive: let the reader of the name's kind say so
        return path.endsWith(QLatin1String(".ods"), Qt::CaseInsensitive) ? WorkbookKind::Ods
                                                                         : WorkbookKind::Xlsx;
    WorkbookKind kind = WorkbookKind::Unknown;
    if (zip_name_locate(z, "xl/workbook.xml", ZIP_FL_NOCASE) >= 0)
        kind = WorkbookKind::Xlsx;
    else if (zip_name_locate(z, "content.xml", 0) >= 0) {
        zip_file_t* m = zip_fopen(z, "mimetype", 0);
        char buffer[64] = {};
        if (m) {
            zip_fread(m, buffer, sizeof buffer - 1);
            zip_fclose(m);
        }
        if (QByteArray(buffer).startsWith("application/vnd.oasis.opendocument.spreadsheet"))
            kind = WorkbookKind::Ods;
    }
    zip_discard(z);
    return kind;
}

QString notAWorkbookMessage(const QString& path)
{
    return QStringLiteral("Datoteka \"%1\" ni preglednica (xlsx, xls, ods ali csv).").arg(path);
}

} // namespace

QString brokenWorkbookMessage(const QString& path, const QString& detail)
{
    return QStringLiteral("Preglednice \"%1\" ni mogoče prebrati, datoteka je poškodovana (%2).")
        .arg(path, detail);
}

QString protectedWorkbookMessage(const QString& path)
{
    return QStringLiteral(
               "Preglednica \"%1\" je zaščitena z geslom. Odstranite geslo, shranite jo in ponovite "
               "import.")
        .arg(path);
}

QString workbookFileFilter()
{
    return QStringLiteral(
        "Preglednice (*.xlsx *.xls *.ods *.csv);;Excel (*.xlsx *.xls);;OpenDocument (*.ods);;"
        "Besedilo CSV (*.csv);;Vse datoteke (*)");
}

WorkbookKind detectWorkbookKind(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw ImportError(QStringLiteral("Datoteke \"%1\" ni mogoče odpreti: %2")
                              .arg(path, fileErrorReason(f.errorString())));
    const QByteArray head = f.read(8);
    if (head.startsWith(kZipMagic))
        return zipKind(path);
    if (head == kOle2Magic) {
        if (isEncryptedPackage(f))
            throw ImportError(protectedWorkbookMessage(path));
        return WorkbookKind::Xls;
    }
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("csv") || suffix == QLatin1String("txt"))
        return WorkbookKind::Csv;
    return WorkbookKind::Unknown;
}

SheetTable readWorkbook(const QString& path)
{
    SheetTable table;
    switch (detectWorkbookKind(path)) {
    case WorkbookKind::Xlsx:
        table = readOrcusWorkbook(path, WorkbookKind::Xlsx);
        break;
    case WorkbookKind::Ods:
        table = readOrcusWorkbook(path, WorkbookKind::Ods);
        break;
    case WorkbookKind::Xls:
        table = readXlsWorkbook(path);
        break;
    case WorkbookKind::Csv:
        table = readCsvWorkbook(path);
        break;
    case WorkbookKind::Unknown:
        throw ImportError(notAWorkbookMessage(path));
    }
    if (table.isEmpty())
        throw ImportError(QStringLiteral("Prvi delovni list preglednice \"%1\" je prazen.").arg(path));
    return table;
}

} // namespace rek2::importxls
