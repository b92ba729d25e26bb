#pragma once
#include "db/dialect.h"

namespace rek2::sqlite {

// SQLite: see sqlite_dialect.cpp for the rewrites.
std::unique_ptr<Dialect> makeDialect();

} // namespace rek2::sqlite
