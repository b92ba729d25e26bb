#pragma once
#include <QString>
#include <QVariant>
#include <functional>
#include <initializer_list>
#include <memory>

namespace rek2 {

// A statement prepared once and run for many rows, for filling a new
// database quickly (the demo registry). Text with "?" placeholders in the
// engine's own syntax; values bound by position, an invalid QVariant is NULL.
// Errors throw std::runtime_error with the engine's message.
class BulkStatement
{
public:
    virtual ~BulkStatement() = default;
    virtual void insert(std::initializer_list<QVariant> values) = 0;
};

class BulkLoader
{
public:
    virtual ~BulkLoader() = default;
    virtual std::unique_ptr<BulkStatement> prepare(const char* sql) = 0;
    // Runs statements without results.
    virtual void exec(const char* sql) = 0;
};

// Creates a new database `name`, whole or not at all: the schema, the
// REK2_SIF rows of a new installation (with the payer's data when
// `withPayer`), then `fill`. An SQLite file is built beside its name and
// renamed when complete (an existing file is refused); a PostgreSQL database
// must exist, hold none of the system's tables, and is filled in one
// transaction. Throws std::runtime_error with a Slovenian message or the
// engine's; nothing of a failed run is left behind.
// `user` and `password` log on to a server (unless the name gives its own).
void createNewDatabase(const QString& name, bool withPayer, const std::function<void(BulkLoader&)>& fill,
                       const QString& user = QString(), const QString& password = QString());

// The folder of a database file, where the installation's files of a new
// demo database go; empty for a server database.
QString databaseFolder(const QString& name);

} // namespace rek2
