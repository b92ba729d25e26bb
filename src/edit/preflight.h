#pragma once
#include <QDate>
#include <QString>

namespace rek2 {

class Session;

// The checks of a new row (the record editor's form) over every analytic row
// the collection tab's analytic grid shows for the period, in the grid's
// order: the findings text of all rows, empty when every row passes.
// Throws DbError.
QString preflightFindings(Session& session, const QDate& from, const QDate& to);

} // namespace rek2
