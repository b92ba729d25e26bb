// Exported text: UTF-8 or Windows-1250 by content, ';' or ',' by the header
// row, fields in double quotes where they hold a separator, quote or line end.
#include "base/cp1250.h"
#include "import/workbook.h"

#include <QFile>
#include <QRegularExpression>

namespace rek2::importxls {

namespace {

QChar separatorOf(QStringView text)
{
    int semicolons = 0, commas = 0;
    bool quoted = false;
    for (QChar c : text) {
        if (c == u'"')
            quoted = !quoted;
        else if (!quoted && (c == u'\n' || c == u'\r'))
            break;
        else if (!quoted && c == u';')
            ++semicolons;
        else if (!quoted && c == u',')
            ++commas;
    }
    return commas > semicolons ? QChar(u',') : QChar(u';');
}

} // namespace

namespace {
void setCsvField(SheetTable& table, int row, int column, const QString& field)
{
    static const QRegularExpression dotted(QStringLiteral("^\\d{1,2}\\.\\d{1,2}\\.\\d{4}$"));
    static const QRegularExpression iso(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    // A number in either decimal form; a leading zero ("01234567") marks a
    // code or an identification number, which stays text.
    static const QRegularExpression number(QStringLiteral("^[+-]?(0|[1-9]\\d*)([.,]\\d+)?$"));
    const QString t = field.trimmed();
    if (t.isEmpty())
        return;
    if (dotted.match(t).hasMatch()) {
        const QDate d = QDate::fromString(t, QStringLiteral("d.M.yyyy"));
        if (d.isValid()) {
            table.setDate(row, column, d);
            return;
        }
    } else if (iso.match(t).hasMatch()) {
        const QDate d = QDate::fromString(t, Qt::ISODate);
        if (d.isValid()) {
            table.setDate(row, column, d);
            return;
        }
    } else if (number.match(t).hasMatch()) {
        bool ok = false;
        const double v = QString(t).replace(u',', u'.').toDouble(&ok);
        if (ok) {
            table.setNumber(row, column, v);
            return;
        }
    }
    table.setText(row, column, field.toUtf8().toStdString());
}

} // namespace

SheetTable readCsvWorkbook(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw ImportError(brokenWorkbookMessage(path, f.errorString()));
    QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        throw ImportError(brokenWorkbookMessage(path, f.errorString()));
    if (bytes.contains('\0'))
        throw ImportError(
            QStringLiteral("Datoteka \"%1\" ni preglednica (xlsx, xls, ods ali csv).").arg(path));
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    const QString text = isValidUtf8(bytes) ? QString::fromUtf8(bytes) : fromWindows1250(bytes);
    bytes.clear();

    const QChar sep = separatorOf(text);
    SheetTable table;
    int row = 1, column = 1;
    QString field;
    bool quoted = false;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"') {
                if (i + 1 < n && text[i + 1] == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == sep) {
            setCsvField(table, row, column++, field);
            field.clear();
        } else if (c == u'\r' || c == u'\n') {
            setCsvField(table, row, column, field);
            field.clear();
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
                ++i;
            ++row;
            column = 1;
        } else {
            field += c;
        }
    }
    if (!field.isEmpty() || column > 1)
        setCsvField(table, row, column, field);
    table.trim();
    return table;
}

} // namespace rek2::importxls
