#pragma once
#include <QStringList>

namespace rek2::postgres {

// The statements that create the schema on PostgreSQL, in order.
QStringList schemaStatements();

} // namespace rek2::postgres
