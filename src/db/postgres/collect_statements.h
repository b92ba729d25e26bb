#pragma once
#include <QString>

namespace rek2 {
struct Settings;
}

// Hand-written PostgreSQL equivalents of the collection statements that the
// dialect cannot rewrite (the link update uses the alias K twice and
// "UPDATE T R SET R.col"). They are the SQLite texts of db/sqlite with
// PostgreSQL's spelling, so both engines link the same way; the collection
// tests run on both.
namespace rek2::collect::postgres {

// The engine these texts are for (Session::engine()).
inline const QString kEngine = QStringLiteral("QPSQL");

// See collect::sqlite::linkUpdateJoined (the ambiguity check is the same text).
QString linkUpdate(const Settings& s, const QString& ids);

// The analytic statement (Oracle's text, rewritten as usual) with its rows
// numbered in the order SQLite numbers them: by the grouping columns, empty
// values first. Both engines then give the same rows the same identifiers.
// A payout's own links are asked for with EXISTS, not with a correlated IN,
// and the payouts are read only while a link of the period is in no row.
QString analyticStatement(const QString& oracleText);

} // namespace rek2::collect::postgres
