#pragma once
#include <QString>
#include <QStringList>

// Hand-written PostgreSQL forms of the working views' statements.
namespace rek2::postgres {

inline const QString kWorkingEngine = QStringLiteral("QPSQL");

// The analytic grid's statement (Oracle's lines, rewritten as usual) with a
// row's unwritten links looked up by the row's identifier (PostgreSQL runs
// "ID_REK2_ANAL IN (all unwritten links)" as a list it reads through for
// every row once the list outgrows its hash memory), and the rate worked
// out once per coupon and payout day instead of once per row.
QStringList analyticWorkingStatement(const QStringList& oracleLines);

} // namespace rek2::postgres
