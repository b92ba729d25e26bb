#include "gridexport/export_table.h"

#include "base/cp1250.h"
#include "db/dataset.h"
#include "gridexport/export_writers.h"
#include "gridexport/progress.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSet>
#include <filesystem>
#include <system_error>

namespace rek2 {

ExportFormat exportFormatOfFilter(int filterIndex)
{
    switch (filterIndex) {
    case 0:
        return ExportFormat::DBase;
    case 1:
        return ExportFormat::Paradox;
    default:
        return ExportFormat::FixedText;
    }
}

QString schemaPathOf(const QString& textPath)
{
    const QFileInfo fi(textPath);
    return fi.dir().filePath(fi.completeBaseName() + QStringLiteral(".sch"));
}

int decimalsOfFormat(const QString& format, int fallback)
{
    const QString section = format.section(QLatin1Char(';'), 0, 0);
    if (section.isEmpty())
        return fallback;
    const qsizetype dot = section.indexOf(QLatin1Char('.'));
    if (dot < 0)
        return 0;
    int decimals = 0;
    for (qsizetype i = dot + 1;
         i < section.size() && (section[i] == QLatin1Char('0') || section[i] == QLatin1Char('#')); ++i)
        ++decimals;
    return decimals;
}

QByteArray toCp1250Lossy(const QString& text)
{
    QByteArray out;
    if (toWindows1250(text, out))
        return out;
    // A character the code page lacks becomes "?"; the rest of the value stays.
    out.clear();
    out.reserve(text.size());
    for (const QChar ch : text) {
        QByteArray one;
        out += toWindows1250(QString(ch), one) ? one : QByteArray("?");
    }
    return out;
}

QVector<ExportField> exportFields(const QVector<GridColumn>& columns, int maxNameLength)
{
    QVector<ExportField> out;
    QSet<QString> used;
    for (const GridColumn& c : columns) {
        ExportField f;
        f.field = c.field;
        f.type = c.def.type == FieldType::Variant ? FieldType::String : c.def.type;
        // Only letters, digits and "_" survive in every format's names.
        QString name;
        for (const QChar ch : c.def.name.toUpper())
            name += (ch.unicode() < 128 && (ch.isLetterOrNumber() || ch == QLatin1Char('_')))
                        ? ch
                        : QLatin1Char('_');
        if (name.isEmpty() || !name[0].isLetter())
            name.prepend(QLatin1Char('F'));
        name = name.left(maxNameLength);
        for (int n = 1; used.contains(name); ++n) {
            const QString suffix = QString::number(n);
            name = name.left(maxNameLength - int(suffix.size())) + suffix;
        }
        used.insert(name);
        f.name = name;
        switch (f.type) {
        case FieldType::String:
            f.width = c.def.size > 0 ? c.def.size : 0; // 0: as long as the longest value
            break;
        case FieldType::Integer:
            f.width = 11;
            break;
        case FieldType::Float:
            f.decimals = decimalsOfFormat(c.def.displayFormat, 6);
            f.width = 20;
            break;
        case FieldType::Date:
            f.width = 10;
            break;
        case FieldType::Variant:
            break;
        }
        out.push_back(f);
    }
    return out;
}

void fitTextWidths(const DataSet& ds, QVector<ExportField>& fields, int maxWidth)
{
    // Text columns of no declared size are as wide as their longest value.
    QVector<int> open;
    for (int i = 0; i < fields.size(); ++i)
        if (fields[i].type == FieldType::String && fields[i].width == 0)
            open.push_back(i);
    for (int r = 0; !open.isEmpty() && r < ds.RecordCount(); ++r)
        for (int i : open)
            fields[i].width = std::max(fields[i].width, int(ds.Value(r, fields[i].field).toString().size()));
    for (ExportField& f : fields)
        if (f.type == FieldType::String)
            f.width = std::clamp(f.width, 1, maxWidth);
}

namespace {

// A name beside `target` that no file has, ending in `suffix`.
QString temporaryBeside(const QString& target, const QString& suffix)
{
    const QFileInfo fi(target);
    for (;;) {
        const QString name = QStringLiteral("~%1-%2%3")
                                 .arg(fi.completeBaseName())
                                 .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'))
                                 .arg(suffix);
        const QString path = fi.dir().filePath(name);
        if (!QFileInfo::exists(path))
            return path;
    }
}

void replaceFile(const QString& from, const QString& to)
{
    std::error_code ec;
    std::filesystem::rename(QFile::encodeName(from).toStdString(), QFile::encodeName(to).toStdString(), ec);
    if (ec)
        throw ExportError(QStringLiteral("Datoteke ni mogoče zapisati: ") + QDir::toNativeSeparators(to) +
                          QStringLiteral(" (") + QString::fromStdString(ec.message()) + QStringLiteral(")"));
}

} // namespace

void exportDataSet(const DataSet& ds, const QVector<GridColumn>& columns, const QString& path,
                   ExportFormat format, Progress* progress)
{
    const QFileInfo target(path);
    if (!target.dir().exists())
        throw ExportError(QStringLiteral("Mapa ne obstaja: ") +
                          QDir::toNativeSeparators(target.absolutePath()));
    const int rows = ds.Active() ? ds.RecordCount() : 0;
    ProgressScope scope(progress, QStringLiteral("Export"), rows);
    const auto step = [&scope] { scope.step(); };

    QStringList temporaries;
    const auto cleanUp = [&temporaries] {
        for (const QString& t : temporaries)
            QFile::remove(t);
    };
    try {
        switch (format) {
        case ExportFormat::DBase: {
            const QString tmp = temporaryBeside(path, QStringLiteral(".dbf"));
            temporaries << tmp;
            writeDbf(ds, columns, tmp, rows, step);
            replaceFile(tmp, path);
            break;
        }
        case ExportFormat::Paradox: {
            const QString tmp = temporaryBeside(path, QStringLiteral(".db"));
            temporaries << tmp;
            writeParadox(ds, columns, tmp, QFileInfo(path).completeBaseName(), rows, step);
            replaceFile(tmp, path);
            break;
        }
        case ExportFormat::FixedText: {
            const QString tmp = temporaryBeside(path, QStringLiteral(".txt"));
            const QString tmpSchema = temporaryBeside(path, QStringLiteral(".sch"));
            temporaries << tmp << tmpSchema;
            writeFixedText(ds, columns, tmp, tmpSchema, rows, step);
            replaceFile(tmpSchema, schemaPathOf(path));
            replaceFile(tmp, path);
            break;
        }
        }
    } catch (...) {
        cleanUp();
        throw;
    }
}

} // namespace rek2
