#pragma once
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace rek2 {

class DataSet;

// Summary identifiers as the statements take them: "12, 13, 20".
QString joinIds(const QList<int>& ids);

// The analytic working statement (grid odsNabor), its stored lines; with
// idZbir the view is limited to that summary record. Variables :DatumOd, :DatumDo.
QStringList analyticWorkingStatement(std::optional<int> idZbir = std::nullopt);

// The summary selection statement: line 1 alone selects every working
// summary record; with a list, only those. An empty list must not be sent
// (see openSummarySelection).
QStringList summarySelectionStatement();
QStringList summarySelectionStatement(const QString& idList);

// Sets the analytic statement on `ds` (declaring :DATUMOD and :DATUMDO as
// dates), binds the days and opens it. Throws DbError.
void openAnalyticWorking(DataSet& ds, const QDate& datumOd, const QDate& datumDo,
                         std::optional<int> idZbir = std::nullopt);

// Closes `ds`; with a non-empty list sets the summary statement for it and
// opens it, returning true. With an empty list the view stays closed and
// empty and nothing is sent (false). Throws DbError.
bool openSummarySelection(DataSet& ds, const QString& idList);
// Every working summary record (start-up).
void openSummarySelectionAll(DataSet& ds);

} // namespace rek2
