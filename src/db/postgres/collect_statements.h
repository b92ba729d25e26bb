#pragma once
#include <QString>

namespace rek2 {
struct Settings;
}

// Hand-written PostgreSQL equivalents of collection statements: the link
// update, which the dialect cannot rewrite (it uses the alias K twice and
// "UPDATE T R SET R.col"), and the analytic statement, whose stored text
// looks the withholding event up a dozen times per payout (on a 100,000-holder
// day 11.5 s against 5.4 s). They are the SQLite texts of db/sqlite with
// PostgreSQL's spelling, so both engines link the same way; the collection
// tests run on both.
namespace rek2::collect::postgres {

// The engine these texts are for (Session::engine()).
inline const QString kEngine = QStringLiteral("QPSQL");

// See collect::sqlite::linkUpdateJoined (the ambiguity check is the same text).
QString linkUpdate(const Settings& s, const QString& ids);
// See collect::sqlite::unlinkedEventOfRows.
QString unlinkedEventOfRows(const Settings& s, const QString& ids);

// The SQLite analytic statement (collect::sqlite::analyticStatement) in
// PostgreSQL's spelling, its rows numbered in the same order: the
// withholding event joined once per payout rather than looked up a dozen
// times. Needs collect::sqlite::collectLaterLinks first, in the same
// transaction. Variables :DatumOd, :DatumDo, :SfVpGotEUR.
QString analyticInsert(const Settings& s);

// The stored event statement (collect::eventStatement, an Oracle text for
// the dialect to rewrite) with its first part, the later tax payments, read
// only for the payouts on the list of later links, as the SQLite text does.
// Needs collect::sqlite::collectLaterLinks first, in the same transaction.
QString eventStatement(const Settings& s);

} // namespace rek2::collect::postgres
