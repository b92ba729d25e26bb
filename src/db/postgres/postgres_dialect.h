#pragma once
#include "db/dialect.h"

namespace rek2::postgres {

// PostgreSQL: see postgres_dialect.cpp for the rewrites.
std::unique_ptr<Dialect> makeDialect();

} // namespace rek2::postgres
