#pragma once
#include "db/bulk.h"

#include <QString>

namespace rek2::postgres {

// Fills the existing PostgreSQL database `name` (a connection string) with
// the schema, the basic REK2_SIF rows and what `fill` writes, in one
// transaction (see createNewDatabase in db/bulk.h). A database that already
// holds the system's tables is refused and left as it is.
void createNewDatabase(const QString& name, const QString& user, const QString& password, bool withPayer,
                       const std::function<void(BulkLoader&)>& fill);

} // namespace rek2::postgres
