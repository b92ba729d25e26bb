#include "gridexport/clipboard_text.h"

#include "db/dataset.h"
#include "gridexport/progress.h"

namespace rek2 {

namespace {

void appendValue(QString& out, const FieldDef& def, const QString& display)
{
    if (def.type == FieldType::String) {
        out += QLatin1Char('"');
        for (const QChar ch : display) {
            if (ch == QLatin1Char('\r') || ch == QLatin1Char('\t'))
                continue;
            if (ch == QLatin1Char('"'))
                out += QLatin1Char('"');
            out += ch;
        }
        out += QLatin1Char('"');
    } else {
        for (const QChar ch : display)
            if (ch != QLatin1Char('\t'))
                out += ch;
    }
    out += QLatin1Char('\t');
}

} // namespace

QString clipboardText(const DataSet& ds, const QVector<GridColumn>& columns, const QString& caption,
                      Progress* progress)
{
    const int rows = ds.Active() ? ds.RecordCount() : 0;
    ProgressScope scope(progress, QStringLiteral("Copy to clipboard"), rows);
    static const QString crlf = QStringLiteral("\r\n");
    QString out = caption;
    out += crlf;
    for (const GridColumn& c : columns) {
        out += c.label();
        out += QLatin1Char('\t');
    }
    for (int r = 0; r < rows; ++r) {
        out += crlf;
        for (const GridColumn& c : columns)
            appendValue(out, c.def, ds.DisplayText(r, c.field));
        scope.step();
    }
    return out;
}

} // namespace rek2
