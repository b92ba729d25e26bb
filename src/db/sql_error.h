#pragma once
#include "db/error.h"

#include <QSqlError>

namespace rek2 {

// The engine's own message of a failed Qt SQL call.
inline QString engineMessage(const QSqlError& e)
{
    const QString db = e.databaseText();
    return db.isEmpty() ? e.text() : db;
}

[[noreturn]] inline void throwSqlError(const QSqlError& e)
{
    throw DbError(engineMessage(e));
}

} // namespace rek2
