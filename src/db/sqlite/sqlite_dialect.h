#pragma once
#include "db/dialect.h"

namespace rek2::sqlite {

// SQLite: see sqlite_dialect.cpp for the rewrites.
std::unique_ptr<Dialect> makeDialect();

// The database name its open() takes for a database of the session's own in
// memory (working tables of one window; gone when the session logs off).
inline const QString kInMemory = QStringLiteral(":memory:");

} // namespace rek2::sqlite
