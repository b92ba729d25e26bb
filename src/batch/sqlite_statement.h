#pragma once
#include <QString>
#include <QVariant>
#include <initializer_list>

struct sqlite3;
struct sqlite3_stmt;

namespace rek2::batch {

// A prepared statement on a raw SQLite handle, for bulk inserts: bind the
// values of one row and run it. Errors throw std::runtime_error with the
// engine's message.
class SqliteStatement
{
public:
    SqliteStatement(sqlite3* db, const char* sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    // One row: values bound by position; an invalid QVariant is NULL.
    void insert(std::initializer_list<QVariant> values);

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

// Runs statements without results; throws like SqliteStatement.
void sqliteExec(sqlite3* db, const char* sql);

} // namespace rek2::batch
