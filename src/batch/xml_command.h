#pragma once
#include "batch/batch.h"

namespace rek2::batch {

// xml --from YYYY-MM-DD [--to YYYY-MM-DD] (--all | ID ...)
// Writes the returns of the summaries the collection tab shows for the period
// (all of them, or the given ones) as "XML" does, printing one line per file
// written and one per warning. Exit 0 when every chosen summary was written
// or skipped with a warning.
int runXmlCommand(BatchContext& ctx, const QStringList& args);

// history --from YYYY-MM-DD [--to YYYY-MM-DD]
// Prints the archived summaries paid in the period: the columns of "collect",
// then DURS_ID_DOK, CORRECTIONFORDOCUMENT, CAS, USR, COMPUTER and SUPERSEDED
// (D when another printed summary cancels or corrects it, else N).
int runHistoryCommand(BatchContext& ctx, const QStringList& args);

} // namespace rek2::batch
