#include "db/sqlite/bulk_sqlite.h"

#include <sqlite3.h>
#include <stdexcept>

namespace rek2::sqlite {

namespace {

[[noreturn]] void fail(sqlite3* db)
{
    throw std::runtime_error(sqlite3_errmsg(db));
}

class SqliteStatement : public BulkStatement
{
public:
    SqliteStatement(sqlite3* db, const char* sql);
    ~SqliteStatement() override;
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;
    void insert(std::initializer_list<QVariant> values) override;

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

SqliteStatement::SqliteStatement(sqlite3* db, const char* sql) : db_(db)
{
    if (sqlite3_prepare_v2(db_, sql, -1, &stmt_, nullptr) != SQLITE_OK)
        fail(db_);
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(stmt_);
}

void SqliteStatement::insert(std::initializer_list<QVariant> values)
{
    int i = 1;
    for (const QVariant& v : values) {
        int rc = SQLITE_OK;
        if (!v.isValid() || v.isNull()) {
            rc = sqlite3_bind_null(stmt_, i);
        } else {
            switch (v.typeId()) {
            case QMetaType::Int:
            case QMetaType::LongLong:
            case QMetaType::UInt:
                rc = sqlite3_bind_int64(stmt_, i, v.toLongLong());
                break;
            case QMetaType::Double:
                rc = sqlite3_bind_double(stmt_, i, v.toDouble());
                break;
            default: {
                const QByteArray text = v.toString().toUtf8();
                rc = sqlite3_bind_text(stmt_, i, text.constData(), int(text.size()), SQLITE_TRANSIENT);
            }
            }
        }
        if (rc != SQLITE_OK)
            fail(db_);
        ++i;
    }
    if (sqlite3_step(stmt_) != SQLITE_DONE) {
        const std::string message = sqlite3_errmsg(db_);
        sqlite3_reset(stmt_);
        throw std::runtime_error(message);
    }
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

} // namespace

std::unique_ptr<BulkStatement> SqliteBulkLoader::prepare(const char* sql)
{
    return std::make_unique<SqliteStatement>(db_, sql);
}

void SqliteBulkLoader::exec(const char* sql)
{
    sqlite3* db = db_;
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string text = message ? message : sqlite3_errmsg(db);
        sqlite3_free(message);
        throw std::runtime_error(text);
    }
}

} // namespace rek2::sqlite
