#include "edit/preflight.h"

#include "db/dataset.h"
#include "edit/row_checks.h"
#include "edit/row_source.h"
#include "returns/working_statements.h"

namespace rek2 {

QString preflightFindings(Session& session, const QDate& from, const QDate& to)
{
    DataSet rows(QStringLiteral("odsNabor"));
    rows.SetSession(&session);
    openAnalyticWorking(rows, from, to);
    QString text;
    for (rows.First(); !rows.Eof(); rows.Next())
        text += editorFindings(analyticRowOf(rows));
    rows.Close();
    return text;
}

} // namespace rek2
