#pragma once
#include <QStringList>

namespace rek2::batch {

struct BatchContext;

// rek2-batch DB USER PASS import FILE --day LLLL-MM-DD [--yes]
// Without --yes: prints what the import would store and stores nothing.
// With --yes: stores the rows, prints them, the import log and the summaries
// built. Exit 0 without findings, 4 with findings, 1 on an error.
int runImportCommand(BatchContext& ctx, const QStringList& args);

} // namespace rek2::batch
