#include "import/inline_strings.h"

#include "import/workbook.h"

#include <QFile>
#include <QXmlStreamReader>
#include <zip.h>

#include <cstring>
#include <memory>

namespace rek2::importxls {

namespace {

struct Zip
{
    zip_t* z = nullptr;
    ~Zip()
    {
        if (z)
            zip_discard(z);
    }
};

QByteArray readWhole(zip_t* z, const char* name)
{
    zip_stat_t st;
    if (zip_stat(z, name, ZIP_FL_NOCASE, &st) != 0 || st.size > 64 * 1024 * 1024)
        return QByteArray();
    zip_file_t* f = zip_fopen(z, name, ZIP_FL_NOCASE);
    if (!f)
        return QByteArray();
    QByteArray out(static_cast<qsizetype>(st.size), Qt::Uninitialized);
    const zip_int64_t n = zip_fread(f, out.data(), st.size);
    zip_fclose(f);
    return n == static_cast<zip_int64_t>(st.size) ? out : QByteArray();
}

// The package name of the first worksheet: workbook.xml's first <sheet>,
// found through the workbook's relationships.
QString firstSheetPart(zip_t* z)
{
    QString relId;
    QXmlStreamReader wb(readWhole(z, "xl/workbook.xml"));
    while (!wb.atEnd() && relId.isEmpty()) {
        if (wb.readNext() == QXmlStreamReader::StartElement && wb.name() == QLatin1String("sheet")) {
            for (const auto& a : wb.attributes())
                if (a.name() == QLatin1String("id"))
                    relId = a.value().toString();
        }
    }
    QXmlStreamReader rels(readWhole(z, "xl/_rels/workbook.xml.rels"));
    while (!rels.atEnd()) {
        if (rels.readNext() == QXmlStreamReader::StartElement &&
            rels.attributes().value(QLatin1String("Id")) == relId) {
            const QString target = rels.attributes().value(QLatin1String("Target")).toString();
            return target.startsWith(u'/') ? target.mid(1) : QStringLiteral("xl/") + target;
        }
    }
    return QString();
}

// Streams an entry through `consume` in blocks, never holding it whole.
template <typename F> bool streamEntry(zip_t* z, const QByteArray& name, F consume)
{
    zip_file_t* f = zip_fopen(z, name.constData(), 0);
    if (!f)
        return false;
    std::unique_ptr<char[]> buffer(new char[1 << 20]);
    zip_int64_t n;
    bool go = true;
    while (go && (n = zip_fread(f, buffer.get(), 1 << 20)) > 0)
        go = consume(buffer.get(), static_cast<size_t>(n));
    zip_fclose(f);
    return n >= 0 || !go;
}

void cellRef(QStringView r, int& row, int& col)
{
    int c = 0, w = 0, i = 0;
    while (i < r.size() && r[i] >= u'A' && r[i] <= u'Z')
        c = c * 26 + (r[i++].unicode() - 'A' + 1);
    while (i < r.size() && r[i].isDigit())
        w = w * 10 + r[i++].digitValue();
    if (c > 0)
        col = c;
    if (w > 0)
        row = w;
}

} // namespace

void addInlineStrings(const QString& packagePath, const QString& shownPath, SheetTable& table)
{
    Zip zip;
    int error = 0;
    zip.z = zip_open(QFile::encodeName(packagePath).constData(), ZIP_RDONLY, &error);
    if (!zip.z)
        return; // the reader already reported a broken package
    const QByteArray part = firstSheetPart(zip.z).toUtf8();
    if (part.isEmpty())
        return;

    static const char marker[] = "inlineStr";
    const size_t markerLength = std::strlen(marker);
    bool found = false;
    std::string tail;
    streamEntry(zip.z, part, [&](const char* data, size_t n) {
        std::string block = tail;
        block.append(data, n);
        found = block.find(marker) != std::string::npos;
        tail = block.substr(block.size() > markerLength ? block.size() - markerLength : 0);
        return !found;
    });
    if (!found)
        return;

    QXmlStreamReader xml;
    int row = 0, col = 0;
    bool inlineCell = false, inText = false, inPhonetic = false;
    QString text;
    auto handle = [&]() {
        while (!xml.atEnd()) {
            switch (xml.readNext()) {
            case QXmlStreamReader::StartElement: {
                const auto name = xml.name();
                if (name == QLatin1String("row")) {
                    const auto r = xml.attributes().value(QLatin1String("r"));
                    row = r.isEmpty() ? row + 1 : r.toInt();
                    col = 0;
                } else if (name == QLatin1String("c")) {
                    const auto a = xml.attributes();
                    ++col;
                    cellRef(a.value(QLatin1String("r")), row, col);
                    inlineCell = a.value(QLatin1String("t")) == QLatin1String("inlineStr");
                    text.clear();
                } else if (name == QLatin1String("rPh")) {
                    inPhonetic = true;
                } else if (name == QLatin1String("t")) {
                    inText = inlineCell && !inPhonetic;
                }
                break;
            }
            case QXmlStreamReader::Characters:
                if (inText)
                    text += xml.text();
                break;
            case QXmlStreamReader::EndElement: {
                const auto name = xml.name();
                if (name == QLatin1String("t"))
                    inText = false;
                else if (name == QLatin1String("rPh"))
                    inPhonetic = false;
                else if (name == QLatin1String("c") && inlineCell) {
                    table.setText(row, col, text.toUtf8().toStdString());
                    inlineCell = false;
                }
                break;
            }
            default:
                break;
            }
        }
    };
    const bool ok = streamEntry(zip.z, part, [&](const char* data, size_t n) {
        xml.addData(QByteArray(data, static_cast<qsizetype>(n)));
        handle();
        return !(xml.hasError() && xml.error() != QXmlStreamReader::PrematureEndOfDocumentError);
    });
    if (!ok || (xml.hasError() && xml.error() != QXmlStreamReader::PrematureEndOfDocumentError))
        throw ImportError(brokenWorkbookMessage(shownPath, xml.errorString()));
}

} // namespace rek2::importxls
