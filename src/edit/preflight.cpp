#include "edit/preflight.h"

#include "db/dataset.h"
#include "edit/row_checks.h"
#include "edit/row_source.h"
#include "returns/amount_limits.h"
#include "returns/working_statements.h"

namespace rek2 {

QString preflightFindings(Session& session, const QDate& from, const QDate& to)
{
    DataSet rows(QStringLiteral("odsNabor"));
    rows.SetSession(&session);
    openAnalyticWorking(rows, from, to);
    QString text;
    const char* const amounts[] = {"BRUTO", "DAV_ODT_OBR", "DAV_ODT_PLC", "DAV_ODT_ODB_TUJ"};
    for (rows.First(); !rows.Eof(); rows.Next()) {
        text += editorFindings(analyticRowOf(rows));
        // An amount the return cannot carry (the XML run refuses the row).
        for (const char* column : amounts) {
            TField* f = rows.FindField(QLatin1String(column));
            if (f && !f->IsNull() && !amountFitsReturn(f->AsFloat()))
                text += QStringLiteral("\r\nZa ID:") +
                        rows.FieldByName(QStringLiteral("ID_REK2_ANAL"))->AsString() +
                        QStringLiteral(" neveljaven znesek ") + QLatin1String(column) + QStringLiteral(" (") +
                        QString::number(f->AsFloat()) + QStringLiteral(")!");
        }
    }
    rows.Close();
    return text;
}

} // namespace rek2
