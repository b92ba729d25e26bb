#pragma once
#include <QDate>
#include <QList>
#include <QString>
#include <cstdint>

namespace rek2 {
class BulkLoader;
}

namespace rek2::batch {

struct DemoOptions
{
    int holders = 300; // persons holding securities; one large dividend pays every one of them
    int days = 10;     // working days of ordinary payout traffic
    QDate from;        // first payout day; invalid: the days end on the working day before `today`
    QDate today = QDate::currentDate();
    std::uint64_t seed = 1;
};

struct DemoSummary
{
    QDate firstDay, lastDay; // the payout days
    QDate largeDividendDay;  // the day every holder is paid a dividend
    qint64 persons = 0;
    qint64 payouts = 0;      // events of kind '=' or '@'
    qint64 withholdings = 0; // withholding-tax events
    qint64 largeDividendPayouts = 0;
    qint64 events = 0; // all DOG rows
};

// The working days of the payout traffic (Monday to Friday).
QList<QDate> demoPayoutDays(const DemoOptions& options);

// The event codes of withholding-tax events the demo registry uses, in the
// SQL list form of the INI key SfDogDvcOdt.
QString demoWithholdingCodes();

// rek2.ini for a demo installation (UTF-8, section "Splošno").
QString demoIniText();

// Fills a database that has the schema (and nothing else) with a registry:
// countries, tax rates, issuers, securities, coupons, holders, accounts,
// payouts with their withholding-tax events and links, and the system's
// parameter rows. Runs inside the caller's transaction; throws
// std::runtime_error with the engine's message.
DemoSummary generateDemo(BulkLoader& db, const DemoOptions& options);

} // namespace rek2::batch
