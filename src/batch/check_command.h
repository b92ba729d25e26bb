#pragma once
#include "batch/batch.h"

namespace rek2::batch {

// check --from LLLL-MM-DD [--to LLLL-MM-DD]: the checks of new analytic rows
// over the rows the collection tab shows for the period. Prints the findings
// as they stand; exit code 0 without findings, 4 with findings.
int runCheck(BatchContext& ctx, const QStringList& args);

constexpr int kExitFindings = 4;

} // namespace rek2::batch
