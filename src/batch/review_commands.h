#pragma once
#include "batch/batch.h"

namespace rek2::batch {

// docnum ID NUMBER: records the document number on the history summary (the
// record editor's checks) and copies it to its history rows and event
// links; prints how many of each were updated.
int runDocnumCommand(BatchContext& ctx, const QStringList& args);

// storno ID / popravek ID: a cancellation or correction of the newest member
// of the summary's correction chain, as the review tab's double-click makes
// it; prints the new working summary in the columns of collect.
int runStornoCommand(BatchContext& ctx, const QStringList& args);
int runPopravekCommand(BatchContext& ctx, const QStringList& args);

// restore ID: takes an unnumbered return back into work and prints where
// its file went.
int runRestoreCommand(BatchContext& ctx, const QStringList& args);

} // namespace rek2::batch
