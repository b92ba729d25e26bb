#include "db/dataset.h"
#include "gridexport/export_writers.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <memory>
#include <shapefil.h>

namespace rek2 {

namespace {

// Language driver 200 (0xC8) marks Windows-1250 in the dBase header.
constexpr const char* kCodePage1250 = "LDID/200";

struct DbfCloser
{
    void operator()(DBFInfo* h) const { DBFClose(h); }
};

[[noreturn]] void failWrite(const QString& path)
{
    throw ExportError(QStringLiteral("Napaka pri pisanju datoteke ") + QDir::toNativeSeparators(path));
}

} // namespace

void writeDbf(const DataSet& ds, const QVector<GridColumn>& columns, const QString& path, int rows,
              const std::function<void()>& step)
{
    QVector<ExportField> fields = exportFields(columns, 10);
    fitTextWidths(ds, fields, 254);
    std::unique_ptr<DBFInfo, DbfCloser> h(DBFCreateEx(QFile::encodeName(path).constData(), kCodePage1250));
    if (!h)
        throw ExportError(QStringLiteral("Datoteke ni mogoče ustvariti: ") + QDir::toNativeSeparators(path));
    for (const ExportField& f : fields) {
        const QByteArray name = f.name.toLatin1();
        int rc = -1;
        switch (f.type) {
        case FieldType::Integer:
            rc = DBFAddField(h.get(), name.constData(), FTInteger, f.width, 0);
            break;
        case FieldType::Float:
            rc = DBFAddField(h.get(), name.constData(), FTDouble, f.width, f.decimals);
            break;
        case FieldType::Date:
            rc = DBFAddNativeFieldType(h.get(), name.constData(), 'D', 8, 0);
            break;
        default:
            rc = DBFAddField(h.get(), name.constData(), FTString, f.width, 0);
            break;
        }
        if (rc < 0)
            failWrite(path);
    }
    for (int r = 0; r < rows; ++r) {
        for (int i = 0; i < fields.size(); ++i) {
            const ExportField& f = fields[i];
            const QVariant v = ds.Value(r, f.field);
            int ok = 1;
            if (v.isNull()) {
                ok = DBFWriteNULLAttribute(h.get(), r, i);
            } else {
                switch (f.type) {
                case FieldType::Integer:
                    ok = DBFWriteIntegerAttribute(h.get(), r, i, int(v.toLongLong()));
                    break;
                case FieldType::Float:
                    ok = DBFWriteDoubleAttribute(h.get(), r, i, v.toDouble());
                    break;
                case FieldType::Date: {
                    // Written as the raw YYYYMMDD the format keeps; the library's
                    // string writer does not fill date columns.
                    QByteArray day = v.toDate().toString(QStringLiteral("yyyyMMdd")).toLatin1();
                    ok = DBFWriteAttributeDirectly(h.get(), r, i, day.data());
                } break;
                default: {
                    // A value longer than the column is cut to it; that is no write error.
                    QByteArray text = toCp1250Lossy(v.toString()).left(f.width);
                    DBFWriteStringAttribute(h.get(), r, i, text.constData());
                    ok = 1;
                }
                }
            }
            if (!ok)
                failWrite(path);
        }
        step();
    }
    h.reset();
    if (!QFileInfo::exists(path))
        failWrite(path);
}

} // namespace rek2
