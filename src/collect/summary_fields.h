#pragma once

namespace rek2 {
struct RekContext;
class TOracleDataSet;
} // namespace rek2

namespace rek2::collect {

// Adds the four computed columns of every summary view: STKPN ("Kupon"),
// IZPLAC_NAZIV ("Izplačevalec"), IZPLAC_NASLOV ("Naslov") and IZPLAC_DVS
// ("Davčna številka"), and the handler that fills them per row. The coupon
// number comes from the coupon look-up odsKupon, opened on first use.
void installSummaryCalcFields(RekContext& ctx, TOracleDataSet& view);

// The handler itself (OnCalcFields of a summary view).
void calcSummaryFields(RekContext& ctx, TOracleDataSet& view);

} // namespace rek2::collect
