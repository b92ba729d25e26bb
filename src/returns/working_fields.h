#pragma once

namespace rek2 {

class DataSet;

// The fields of the collection tab's two views, in the grids' display order,
// with their captions, types and display formats (amounts "#,##0.00", the
// rate "#,##0."). Call before the first Open; defining them again is a no-op,
// and a view that already has fields of its own gets only the computed ones.
//
// Analytic rows (odsNabor): the columns of REK2_ANAL and the computed rate
// "Stopnja" (hidden). Summary records (odsREK2_Zbir and the history summary
// views): the columns of REK2_ZBIR with the four computed columns STKPN,
// IZPLAC_NAZIV, IZPLAC_NASLOV and IZPLAC_DVS as calculated fields (their
// values come from the view's OnCalcFields handler); SFKPN is hidden.
void defineAnalyticFields(DataSet& ds);
void defineSummaryFields(DataSet& ds);

// The review tab's views in their grids' order: history summaries
// (odsPregled: SFKPN hidden first, the computed STKPN and payer columns,
// then CAS, USR, COMPUTER) and the history rows of one summary (odsPregledA).
void defineHistorySummaryFields(DataSet& ds);
void defineHistoryAnalyticFields(DataSet& ds);

} // namespace rek2
