#include "db/dataset.h"
#include "gridexport/export_writers.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <cstring>
// The library's header declares C functions without saying so.
extern "C" {
#include <paradox.h>
}
#include <vector>

namespace rek2 {

namespace {

// Days from 1 January of year 1 as the format counts them.
constexpr qint64 kParadoxDayOffset = 1721425;

void collectError(pxdoc_t*, int level, const char* message, void* data)
{
    if (level != PX_Warning && data && message)
        *static_cast<QString*>(data) = QString::fromLocal8Bit(message);
}

class ParadoxDoc
{
public:
    ParadoxDoc() : doc_(PX_new3(collectError, nullptr, nullptr, nullptr, &error)) {}
    ~ParadoxDoc()
    {
        if (!doc_)
            return;
        if (open_)
            PX_close(doc_);
        PX_delete(doc_);
    }
    ParadoxDoc(const ParadoxDoc&) = delete;
    ParadoxDoc& operator=(const ParadoxDoc&) = delete;
    pxdoc_t* get() const { return doc_; }
    void setOpen() { open_ = true; }
    void close()
    {
        if (open_)
            PX_close(doc_);
        open_ = false;
    }
    QString error;

private:
    pxdoc_t* doc_;
    bool open_ = false;
};

char* duplicate(pxdoc_t* doc, const QByteArray& text)
{
    auto* out = static_cast<char*>(doc->malloc(doc, size_t(text.size()) + 1, "field name"));
    std::memcpy(out, text.constData(), size_t(text.size()) + 1);
    return out;
}

} // namespace

void writeParadox(const DataSet& ds, const QVector<GridColumn>& columns, const QString& path,
                  const QString& tableName, int rows, const std::function<void()>& step)
{
    QVector<ExportField> fields = exportFields(columns, 25);
    fitTextWidths(ds, fields, 255);
    ParadoxDoc px;
    if (!px.get())
        throw ExportError(QStringLiteral("Napaka pri pripravi tabele Paradox."));
    const auto fail = [&](const QString& what) {
        throw ExportError(
            what + QDir::toNativeSeparators(path) +
            (px.error.isEmpty() ? QString() : QStringLiteral(" (") + px.error + QStringLiteral(")")));
    };
    // The library takes ownership of the field list, so it is allocated with its allocator.
    pxdoc_t* doc = px.get();
    auto* pf = static_cast<pxfield_t*>(
        doc->malloc(doc, sizeof(pxfield_t) * size_t(std::max<qsizetype>(1, fields.size())), "fields"));
    for (int i = 0; i < fields.size(); ++i) {
        const ExportField& f = fields[i];
        pf[i].px_fname = duplicate(doc, f.name.toLatin1());
        pf[i].px_fdc = 0;
        switch (f.type) {
        case FieldType::Integer:
            pf[i].px_ftype = pxfLong;
            pf[i].px_flen = 4;
            break;
        case FieldType::Float:
            pf[i].px_ftype = pxfNumber;
            pf[i].px_flen = 8;
            break;
        case FieldType::Date:
            pf[i].px_ftype = pxfDate;
            pf[i].px_flen = 4;
            break;
        default:
            pf[i].px_ftype = pxfAlpha;
            pf[i].px_flen = f.width;
            break;
        }
    }
    if (PX_create_file(doc, pf, int(fields.size()), QFile::encodeName(path).constData(),
                       pxfFileTypNonIndexDB) < 0)
        fail(QStringLiteral("Datoteke ni mogoče ustvariti: "));
    px.setOpen();
    PX_set_value(doc, "codepage", 1250);
    PX_set_tablename(doc, toCp1250Lossy(tableName).left(79).constData());

    std::vector<pxval_t> values(size_t(fields.size()));
    std::vector<pxval_t*> pointers(size_t(fields.size()));
    std::vector<QByteArray> texts(size_t(fields.size()));
    for (size_t i = 0; i < values.size(); ++i)
        pointers[i] = &values[i];
    for (int r = 0; r < rows; ++r) {
        for (int i = 0; i < fields.size(); ++i) {
            const ExportField& f = fields[i];
            pxval_t& out = values[size_t(i)];
            std::memset(&out, 0, sizeof out);
            out.type = pf[i].px_ftype;
            const QVariant v = ds.Value(r, f.field);
            if (v.isNull()) {
                out.isnull = 1;
                continue;
            }
            switch (f.type) {
            case FieldType::Integer:
                out.value.lval = long(v.toLongLong());
                break;
            case FieldType::Float:
                out.value.dval = v.toDouble();
                break;
            case FieldType::Date:
                out.value.lval = long(v.toDate().toJulianDay() - kParadoxDayOffset);
                break;
            default:
                texts[size_t(i)] = toCp1250Lossy(v.toString()).left(f.width);
                out.value.str.val = texts[size_t(i)].data();
                out.value.str.len = int(texts[size_t(i)].size());
                break;
            }
        }
        if (PX_insert_record(doc, pointers.data()) < 0)
            fail(QStringLiteral("Napaka pri pisanju datoteke "));
        step();
    }
    px.close();
    if (!px.error.isEmpty())
        fail(QStringLiteral("Napaka pri pisanju datoteke "));
}

} // namespace rek2
