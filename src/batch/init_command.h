#pragma once
#include "batch/batch.h"

namespace rek2::batch {

// init [--demo] [--holders N] [--days N] [--from YYYY-MM-DD] [--seed S]
// Creates the schema in a new SQLite file (an existing file is never
// touched); with --demo also fills it with a generated registry.
int runInit(BatchContext& ctx, const QStringList& args);

} // namespace rek2::batch
