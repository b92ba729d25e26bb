#pragma once
#include "batch/batch.h"

namespace rek2::batch {

// collect --from YYYY-MM-DD [--to YYYY-MM-DD] [--ignore-duplicates]
// Runs "Prenos iz DOG" for the period (one day without --to) and prints the
// summary records it shows, tab-separated under a header line. Duplicate tax
// numbers end the run as Abort does, unless --ignore-duplicates.
int runCollect(BatchContext& ctx, const QStringList& args);

constexpr int kExitDuplicates = 3;

} // namespace rek2::batch
