#pragma once
#include "collect/grouping.h"

#include <QDate>
#include <QString>
#include <functional>

namespace rek2 {
struct RekContext;
class DataSet;
} // namespace rek2

namespace rek2::collect {

// What re-grouping asks of the window: the summary grid follows the summary
// view only while attached. Tests and the batch command leave these empty.
struct GridHooks
{
    std::function<void(bool attached)> attachSummaryGrid;
};

// Re-grouping of the analytic rows of a period into summary records.
class Regrouping
{
public:
    explicit Regrouping(RekContext& ctx, GridHooks hooks = {});

    // Closes, binds (:DatumOd, :DatumDo from the collection tab's pickers) and
    // opens the re-grouping source. Throws DbError.
    static void openSource(RekContext& ctx, DataSet& source);

    // NafilajZbirni: re-groups the rows of the open source; returns the
    // identifiers of the summary records written, in group order, joined by
    // ", " (empty when the source has no rows). Throws DbError.
    QString NafilajZbirni(DataSet& source);

    // NafilajTrenutni: writes one group's summary record in its own
    // transaction and returns its identifier.
    int NafilajTrenutni(const Group& group);

    // The home country's rate for the coupon (else the security's kind) on
    // the payout date; 0 when none is in force.
    double rate(const QVariant& sfkpn, const QString& sfvp, const QDate& dan);

    // After NafilajZbirni: the tax numbers that more than one row of one of
    // the summary records written carries, ordered by tax number and then
    // by record.
    std::vector<RepeatedTaxNumber> repeatedTaxNumbers();

    // Deletes the summary view's records that are not corrections ('S', 'X').
    void deleteRebuiltSummaries();

    // Whether re-grouping reloads the analytic grid itself; the collection
    // run loads it again right after and turns this off.
    void setReloadAnalyticGrid(bool on) { reloadGrid_ = on; }

private:
    void logGroup(const AnalyticRow& first);
    // The document number of the submitted first part of a 'D' summary.
    QString firstPartDocument(const AnalyticRow& group);
    void reassignRows(std::vector<Group>& groups);

    RekContext& ctx_;
    GridHooks hooks_;
    bool reloadGrid_ = true;
    std::vector<Group> groups_; // of the last NafilajZbirni
    bool taxNumbersRead_ = false;
};

// The re-grouping source's rows, read in order.
std::vector<AnalyticRow> readSource(DataSet& source);

// odsNaborAfterRefresh: after the analytic view (or the re-grouping source)
// was refreshed, rebuild the period's summaries and reload both views.
// Silent while a return is being copied for correction (FKopiranje).
void odsNaborAfterRefresh(RekContext& ctx, GridHooks hooks = {});

} // namespace rek2::collect
