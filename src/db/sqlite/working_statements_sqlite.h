#pragma once
#include "db/statement.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// Hand-written SQLite forms of the shared working statements, each giving
// the same rows as its Oracle text (the tests compare both).
namespace rek2::sqlite {

// The engine these texts are for (Session::engine()).
inline const QString kWorkingEngine = QStringLiteral("QSQLITE");

// The analytic working statement. The Oracle text looks the rate up with
// three correlated subqueries per row; here the column is left empty and
// the dataset looks it up once per coupon and payout day of the rows read
// (analyticWorkingLookups). Variables :DatumOd, :DatumDo.
// Left unsorted: the dataset sorts the rows by analyticWorkingOrder().
QStringList analyticWorkingStatement(std::optional<int> idZbir);
std::vector<LookupColumn> analyticWorkingLookups();
// The Oracle text's order, empty values last, and rows of equal keys by
// their identifier, as SQLite's sort of the Oracle text leaves them.
std::vector<OrderKey> analyticWorkingOrder();

} // namespace rek2::sqlite
