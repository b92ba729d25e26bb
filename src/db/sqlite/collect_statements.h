#pragma once
#include "db/statement.h"

#include <QString>
#include <QStringList>
#include <vector>

class QDate;

namespace rek2 {
struct Settings;
class Session;
} // namespace rek2

// Hand-written SQLite equivalents of the collection statements that the
// dialect cannot rewrite, or whose rewrite SQLite would run in quadratic time
// (a correlated IN over REK2_DOG runs once per payout over the whole table).
// Each gives the same rows as its Oracle text; the tests compare both.
namespace rek2::collect::sqlite {

// The engine these texts are for (Session::engine()).
inline const QString kEngine = QStringLiteral("QSQLITE");

// The re-grouping source: only the dozen columns re-grouping reads, the same
// rows as the Oracle text (whose lines 2 and 3, the FROM filter, are kept as
// given), left unsorted: the dataset sorts them by regroupSourceOrder().
QStringList regroupSource(const QStringList& oracleText);
// The Oracle text's order, empty values last as on Oracle, and rows of equal
// keys by their identifier, the order SQLite's sort of the Oracle text gives
// them (it reads a day's rows by identifier and keeps equal rows in that order).
std::vector<OrderKey> regroupSourceOrder();

// Re-assigns the rows whose identifiers :IDS lists (a JSON array of numbers)
// to the summary :ID_REK2_ZBIR: the same rows as the Oracle text's IN lists
// of literals, without parsing thousands of them.
QString reassignRows();

// The period's later tax payments: every link from an event paid in the
// period (its tax date ZPD between `from` and `to`) to an event of another
// day. Both statements below look for these links; finding them means
// reading every withholding event paid in the period and its payout, which
// on a large dividend day are all of that day's payouts and are passed over.
// They are found once, here, into the connection's temporary table
// REK2_LATER, which the SQLite texts of both statements read (and the
// PostgreSQL analytic statement derived from them); call this in the same
// transaction before them. Nothing happens on another engine. Throws DbError.
void collectLaterLinks(Session& session, const QDate& from, const QDate& to);

// The event statement of the variant the settings choose, placeholders
// filled. Variables :DatumOd, :DatumDo.
QString eventStatement(const Settings& s);

// The analytic statement of the variant the settings choose, placeholders
// filled. Variables :DatumOd, :DatumDo, :SfVpGotEUR.
QString analyticStatement(const Settings& s);

// The columns the analytic statement groups its rows by, in the order the
// new rows are numbered (the standard variant also groups by ZnizanaStopnja
// and SfDrzIzd, after these).
QStringList analyticGroupingColumns();

// The link update (alias K twice and "UPDATE T R SET R.col" on Oracle), in
// two statements: the links that match a row get it, then every link still
// unlinked gets null, as the Oracle statement gives a link without a match.
// A link that matches more than one row (an error on Oracle) gets
// kAmbiguousLink instead; the caller looks for those with linkAmbiguity()
// and fails the step, rolling the update back.
QString linkUpdate(const Settings& s, const QString& ids);
// The same links matched by one join of all unlinked links with all the
// summaries' rows, grouped per link: the form PostgreSQL runs.
QString linkUpdateJoined(const Settings& s, const QString& ids);

// The lowest event of a link still unlinked (identifier 0 or null) that the
// link update would give a row of the summaries `ids`, in either form; no
// row or null when there is none. Such a link means that the collection
// which built those rows did not link them (see xmlreturn).
QString unlinkedEventOfRows(const Settings& s, const QString& ids);
QString unlinkedEventOfRowsJoined(const Settings& s, const QString& ids);
// The links still unlinked (0) after the update get null; those already
// null (from earlier runs) are only counted (linksLeftUnmatched, asked
// before), not written again: the step counts both, as the Oracle
// statement, which sets every unlinked link, does.
QString linkUpdateUnmatched();
QString linksLeftUnmatched();
constexpr int kAmbiguousLink = -1;
QString linkAmbiguity();

// Whether any link without a document number has lost its event: a row when
// there is one. The links are reached through the document-number index, so
// the links of returns filed and numbered long ago (nearly all of them, once
// a registry has a history) are not read on every collection.
QString vanishedLinkCheck();

} // namespace rek2::collect::sqlite
