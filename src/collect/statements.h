#pragma once
#include <QString>
#include <QStringList>

namespace rek2 {
struct Settings;
}

// The collection's statements as the system stores them, in Oracle's dialect.
// Placeholders between percent signs are replaced textually in a fresh copy on
// every run, so a changed setting takes effect on the next run.
namespace rek2::collect {

// The work that collections and re-groupings of several workstations take
// turns at (WorkLock): their guards against a second link or row only see
// what others have committed.
inline const QString kCollectionWork = QStringLiteral("collect");

// Event selection into REK2_DOG: gross-dividend and standard variant.
const QStringList& qREK2_DOG();
const QStringList& qREK2_DOG_BrezBrutoDiv();

// Analytic rows into REK2_ANAL: standard and gross-dividend variant.
const QStringList& qNabor_BrezBrutoDiv();
const QStringList& qNabor();

// Re-grouping source (odsNaborREK2).
const QStringList& odsNaborREK2();

// Clean-up of links whose registry events vanished (steps 1.1 and 1.2).
QString cleanupAnalSql();
QString cleanupDogSql();
// A row when some link without a document number lost its event: without
// one, neither clean-up statement nor the unlinking before them can change
// a row.
QString vanishedLinkSql();

// Placeholder texts.
QString residenceFilter(const Settings& s);      // %OSB.SFDRZ%
QString eventPersonFilter(const Settings& s);    // %SFSOS% of the event statement
QString analyticPersonFilter(const Settings& s); // %SFSOS% of the analytic statement

// The stored lines joined, with every placeholder of `values` replaced
// (case-sensitively, every occurrence).
QString fill(const QStringList& lines, const QList<std::pair<QString, QString>>& values);

// The event statement and the analytic statement of the variant the
// settings choose, placeholders filled.
QString eventStatement(const Settings& s);
QString analyticStatement(const Settings& s);

// Link update, built per run with this run's summary identifiers.
QString linkUpdateSql(const Settings& s, const QString& ids);

// Recipients that occur twice in one return; rows without a tax number are
// not recipients with a duplicated tax number and stay out.
QString duplicateCheckSql(const QString& ids);

// The changeover row of the currency.
QString euroChangeoverSql();

// Rate look-up (three queries) and first-part look-up of re-grouping.
QString qTipSFKPN();
QString qTipSFVP();
const QStringList& qStopnja();
const QStringList& odsZbirniDelni();

// Coupon look-up of the summary views.
const QStringList& odsKupon();

} // namespace rek2::collect
