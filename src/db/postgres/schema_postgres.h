#pragma once
#include <QStringList>

namespace rek2::postgres {

// The statements that create the schema on PostgreSQL, in order.
QStringList schemaStatements();

// The Oracle functions PostgreSQL lacks (TRUNC and ROUND of dates, places
// given as a decimal), created with the schema. On SQLite the session
// registers them itself.
QStringList functionStatements();

} // namespace rek2::postgres
