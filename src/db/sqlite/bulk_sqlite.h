#pragma once
#include "db/bulk.h"

struct sqlite3;
struct sqlite3_stmt;

namespace rek2::sqlite {

// Bulk statements on a raw SQLite handle.
class SqliteBulkLoader : public BulkLoader
{
public:
    explicit SqliteBulkLoader(sqlite3* db) : db_(db) {}
    std::unique_ptr<BulkStatement> prepare(const char* sql) override;
    void exec(const char* sql) override;

private:
    sqlite3* db_;
};

} // namespace rek2::sqlite
