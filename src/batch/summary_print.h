#pragma once

namespace rek2 {
class DataSet;
}

namespace rek2::batch {

struct BatchContext;

// The summary records of `view`, one tab-separated line each under a header
// line (the columns the collect and import commands print).
void printSummaries(BatchContext& ctx, DataSet& view);

} // namespace rek2::batch
