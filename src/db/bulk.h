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

// Creates the database `path` (a name no file has yet): the schema, the
// REK2_SIF rows of a new installation (with the payer's data when
// `withPayer`), then `fill`, all in one transaction; afterwards the database
// is in its working mode. Throws std::runtime_error with the engine's
// message; the caller removes what a failure left.
void createNewDatabase(const QString& path, bool withPayer, const std::function<void(BulkLoader&)>& fill);

// The files a database at `path` may consist of (itself and its journals).
QStringList databaseFiles(const QString& path);

} // namespace rek2
