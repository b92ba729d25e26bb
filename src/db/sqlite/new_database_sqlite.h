#pragma once
#include "db/bulk.h"

#include <QString>

namespace rek2::sqlite {

// A new database file with the schema, the basic REK2_SIF rows and what
// `fill` writes (see createNewDatabase in db/bulk.h). The file is built
// beside `path` and renamed when complete; an existing file is refused.
void createNewDatabase(const QString& path, bool withPayer, const std::function<void(BulkLoader&)>& fill);

// An empty database file (WAL mode, the sequence counters' table) at
// `path`; fails if a file is there. Throws DbError.
void createDatabaseFile(const QString& path);

} // namespace rek2::sqlite
