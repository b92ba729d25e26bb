#pragma once

namespace rek2 {
struct RekContext;
class DataSet;
} // namespace rek2

namespace rek2::collect {

// Defines the summary view's columns in the summary grid's order, with their
// captions and formats, among them the four computed ones: STKPN ("Kupon"),
// IZPLAC_NAZIV ("Izplačevalec"), IZPLAC_NASLOV ("Naslov") and IZPLAC_DVS
// ("Davčna številka"); and sets the handler that fills those per row. The
// coupon number comes from the coupon look-up odsKupon, opened on first use.
// A view whose columns are already defined only gets the computed ones.
void installSummaryCalcFields(RekContext& ctx, DataSet& view);

// The handler itself (OnCalcFields of a summary view).
void calcSummaryFields(RekContext& ctx, DataSet& view);

} // namespace rek2::collect
