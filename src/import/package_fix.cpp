#include "import/package_fix.h"

#include "import/workbook.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <zip.h>

#include <vector>

namespace rek2::importxls {

namespace {

struct ZipCloser
{
    void operator()(zip_t* z) const
    {
        if (z)
            zip_discard(z);
    }
};
using ZipPtr = std::unique_ptr<zip_t, ZipCloser>;

ZipPtr openZip(const QString& path, int flags, const QString& shownPath)
{
    int error = 0;
    zip_t* z = zip_open(QFile::encodeName(path).constData(), flags, &error);
    if (!z) {
        zip_error_t e;
        zip_error_init_with_code(&e, error);
        const QString detail = QString::fromUtf8(zip_error_strerror(&e));
        zip_error_fini(&e);
        throw ImportError(brokenWorkbookMessage(shownPath, detail));
    }
    return ZipPtr(z);
}

bool readEntry(zip_t* z, zip_uint64_t index, QByteArray& out)
{
    zip_stat_t st;
    if (zip_stat_index(z, index, 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE) || st.size > 64 * 1024 * 1024)
        return false;
    zip_file_t* f = zip_fopen_index(z, index, 0);
    if (!f)
        return false;
    out.resize(static_cast<qsizetype>(st.size));
    const zip_int64_t n = zip_fread(f, out.data(), st.size);
    zip_fclose(f);
    return n == static_cast<zip_int64_t>(st.size);
}

} // namespace

QByteArray relativeTargets(const QString& relsName, const QByteArray& rels)
{
    // "xl/_rels/workbook.xml.rels" describes "xl/workbook.xml": targets are
    // relative to "xl/"; "_rels/.rels" describes the package root.
    QString folder = relsName.section(QLatin1Char('/'), 0, -3);
    const QDir base(QStringLiteral("/") + folder);
    static const QRegularExpression element(QStringLiteral("<(?:\\w+:)?Relationship\\b[^>]*>"));
    static const QRegularExpression target(QStringLiteral("(\\bTarget\\s*=\\s*)([\"'])(/[^\"']*)\\2"));
    static const QRegularExpression external(QStringLiteral("\\bTargetMode\\s*=\\s*[\"']External[\"']"));
    QString text = QString::fromUtf8(rels);
    QString out;
    qsizetype last = 0;
    for (auto it = element.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        QString tag = m.captured(0);
        if (!external.match(tag).hasMatch()) {
            const auto t = target.match(tag);
            if (t.hasMatch()) {
                const QString relative = base.relativeFilePath(t.captured(3));
                tag.replace(t.capturedStart(0), t.capturedLength(0),
                            t.captured(1) + t.captured(2) + relative + t.captured(2));
            }
        }
        out += QStringView(text).mid(last, m.capturedStart(0) - last);
        out += tag;
        last = m.capturedEnd(0);
    }
    out += QStringView(text).mid(last);
    return out.toUtf8();
}

PackageCopy packageWithRelativeTargets(const QString& path)
{
    std::vector<std::pair<QString, QByteArray>> fixed;
    {
        ZipPtr z = openZip(path, ZIP_RDONLY, path);
        const zip_int64_t count = zip_get_num_entries(z.get(), 0);
        for (zip_int64_t i = 0; i < count; ++i) {
            const char* name = zip_get_name(z.get(), static_cast<zip_uint64_t>(i), ZIP_FL_ENC_GUESS);
            if (!name)
                continue;
            const QString entry = QString::fromUtf8(name);
            if (!entry.endsWith(QLatin1String(".rels")))
                continue;
            QByteArray rels;
            if (!readEntry(z.get(), static_cast<zip_uint64_t>(i), rels))
                throw ImportError(brokenWorkbookMessage(path, entry));
            const QByteArray corrected = relativeTargets(entry, rels);
            if (corrected != rels)
                fixed.emplace_back(entry, corrected);
        }
    }
    if (fixed.empty())
        return PackageCopy(path);

    auto copy = std::make_unique<QTemporaryFile>(QDir::tempPath() + QStringLiteral("/rek2-XXXXXX.xlsx"));
    QFile source(path);
    if (!copy->open() || !source.open(QIODevice::ReadOnly))
        throw ImportError(brokenWorkbookMessage(path, copy->errorString()));
    while (!source.atEnd()) {
        const QByteArray chunk = source.read(1 << 20);
        if (chunk.isEmpty() || copy->write(chunk) != chunk.size())
            throw ImportError(brokenWorkbookMessage(path, copy->errorString()));
    }
    copy->close();

    ZipPtr z = openZip(copy->fileName(), 0, path);
    for (auto& [entry, data] : fixed) {
        const zip_int64_t index = zip_name_locate(z.get(), entry.toUtf8().constData(), 0);
        zip_source_t* src =
            zip_source_buffer(z.get(), data.constData(), static_cast<zip_uint64_t>(data.size()), 0);
        if (index < 0 || !src || zip_file_replace(z.get(), static_cast<zip_uint64_t>(index), src, 0) != 0) {
            if (src)
                zip_source_free(src);
            throw ImportError(brokenWorkbookMessage(path, QString::fromUtf8(zip_strerror(z.get()))));
        }
    }
    // Closing writes the archive; the buffers in `fixed` live until then.
    if (zip_close(z.get()) != 0)
        throw ImportError(brokenWorkbookMessage(path, QString::fromUtf8(zip_strerror(z.get()))));
    z.release();
    return PackageCopy(std::move(copy));
}

} // namespace rek2::importxls
