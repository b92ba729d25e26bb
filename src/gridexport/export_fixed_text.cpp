#include "base/system_errors.h"
#include "db/dataset.h"
#include "gridexport/export_writers.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace rek2 {

namespace {

QByteArray fixedValue(const ExportField& f, const QVariant& v)
{
    QByteArray text;
    if (!v.isNull()) {
        switch (f.type) {
        case FieldType::Integer:
            text = QByteArray::number(v.toLongLong());
            break;
        case FieldType::Float:
            text = QByteArray::number(v.toDouble(), 'f', f.decimals);
            break;
        case FieldType::Date:
            text = v.toDate().toString(QStringLiteral("dd.MM.yyyy")).toLatin1();
            break;
        default:
            text = toCp1250Lossy(v.toString());
            // A line break or TAB inside a value would break the fixed layout.
            for (char& c : text)
                if (c == '\r' || c == '\n' || c == '\t')
                    c = ' ';
            break;
        }
    }
    if (text.size() >= f.width)
        return text.left(f.width);
    const QByteArray pad(f.width - text.size(), ' ');
    const bool right = f.type == FieldType::Integer || f.type == FieldType::Float;
    return right ? pad + text : text + pad;
}

const char* schemaType(FieldType t)
{
    switch (t) {
    case FieldType::Integer:
        return "LONGINT";
    case FieldType::Float:
        return "NUMBER";
    case FieldType::Date:
        return "DATE";
    default:
        return "CHAR";
    }
}

void writeAll(QFile& file, const QByteArray& bytes, const QString& path)
{
    if (file.write(bytes) != bytes.size())
        throw ExportError(QStringLiteral("Napaka pri pisanju datoteke ") + QDir::toNativeSeparators(path) +
                          QStringLiteral(" (") + fileErrorReason(file.errorString()) + QStringLiteral(")"));
}

void openForWriting(QFile& file, const QString& path)
{
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw ExportError(QStringLiteral("Datoteke ni mogoče ustvariti: ") + QDir::toNativeSeparators(path) +
                          QStringLiteral(" (") + fileErrorReason(file.errorString()) + QStringLiteral(")"));
}

} // namespace

void writeFixedText(const DataSet& ds, const QVector<GridColumn>& columns, const QString& path,
                    const QString& schemaPath, int rows, const std::function<void()>& step)
{
    QVector<ExportField> fields = exportFields(columns, 25);
    fitTextWidths(ds, fields, 4000);
    // Integers as wide as the widest value (at least the 11 of any 32-bit number).
    for (ExportField& f : fields)
        if (f.type == FieldType::Integer)
            for (int r = 0; r < rows; ++r)
                f.width =
                    std::max(f.width, int(QByteArray::number(ds.Value(r, f.field).toLongLong()).size()));

    // The schema: one line per column with its type, width, decimals and start
    // (0-based byte offset); lines end in CR LF like the data.
    QByteArray schema = "[" + toCp1250Lossy(QFileInfo(path).completeBaseName()) + "]\r\n";
    schema += "FILETYPE = FIXED\r\nCHARSET = ANSI\r\nCODEPAGE = 1250\r\nDATEFORMAT = DD.MM.YYYY\r\n";
    int start = 0;
    for (int i = 0; i < fields.size(); ++i) {
        const ExportField& f = fields[i];
        schema += "Field" + QByteArray::number(i + 1) + " = " + f.name.toLatin1() + "," + schemaType(f.type) +
                  "," + QByteArray::number(f.width) + "," +
                  QByteArray::number(f.decimals).rightJustified(2, '0') + "," + QByteArray::number(start) +
                  "\r\n";
        start += f.width;
    }
    QFile sch(schemaPath);
    openForWriting(sch, schemaPath);
    writeAll(sch, schema, schemaPath);
    if (!sch.flush())
        throw ExportError(QStringLiteral("Napaka pri pisanju datoteke ") +
                          QDir::toNativeSeparators(schemaPath));
    sch.close();

    QFile out(path);
    openForWriting(out, path);
    QByteArray line;
    line.reserve(start + 2);
    QByteArray buffer;
    for (int r = 0; r < rows; ++r) {
        line.clear();
        for (const ExportField& f : fields)
            line += fixedValue(f, ds.Value(r, f.field));
        line += "\r\n";
        buffer += line;
        if (buffer.size() > (1 << 16)) {
            writeAll(out, buffer, path);
            buffer.clear();
        }
        step();
    }
    writeAll(out, buffer, path);
    if (!out.flush())
        throw ExportError(QStringLiteral("Napaka pri pisanju datoteke ") + QDir::toNativeSeparators(path));
    out.close();
    if (out.error() != QFileDevice::NoError)
        throw ExportError(QStringLiteral("Napaka pri pisanju datoteke ") + QDir::toNativeSeparators(path));
}

} // namespace rek2
