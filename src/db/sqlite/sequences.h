#pragma once
#include <QByteArray>
#include <QHash>
#include <QString>

struct sqlite3;
struct sqlite3_stmt;

namespace rek2 {

// SQLite has no sequences. Their counters live in one table, one row per
// sequence: NEXT_VALUE is the first value not yet handed out to any session.
// A session takes a block of values at a time and hands them out from memory,
// so identifiers have gaps (as Oracle sequences with a cache do). A missing
// row starts its sequence at 1; the table is created when missing.
QString sequenceTableName(); // "REK2_SEQUENCES"
QString sequenceTableDdl();  // CREATE TABLE IF NOT EXISTS REK2_SEQUENCES (NAME TEXT PRIMARY KEY, NEXT_VALUE
                             // INTEGER NOT NULL)

// The blocks a session holds. A value once handed out is never handed out
// again: when the session's transaction rolls back, the counters are written
// back to at least the end of every block the session holds, before the write
// lock is let go (see Session::Rollback).
class SequenceCache
{
public:
    static constexpr qint64 kBlockSize = 20;

    explicit SequenceCache(sqlite3* db = nullptr) : db_(db) {}
    ~SequenceCache();
    SequenceCache(const SequenceCache&) = delete;
    SequenceCache& operator=(const SequenceCache&) = delete;
    void setHandle(sqlite3* db);
    void reset()
    {
        blocks_.clear();
        lastBlock_ = nullptr;
    }

    // Next value of sequence `name` (upper-cased). Throws DbError.
    qint64 next(const QString& name);
    // The same for a name as the engine hands it over (UTF-8): one value per
    // row of a large INSERT ... SELECT, so the name of the last call is kept.
    qint64 next(const char* utf8, int bytes);

    // Makes every counter at least the end of this session's block
    // (inside the caller's write transaction). Throws DbError.
    void writeBack();

    // Sets a counter so the next value drawn is `nextValue` (demo data, tests).
    static void setNextValue(sqlite3* db, const QString& name, qint64 nextValue);

private:
    struct Block
    {
        qint64 next = 0;
        qint64 limit = 0; // first value not in the block
    };
    QHash<QString, Block> blocks_;
    void ensureTable();
    qint64 takeBlock(const QString& name);
    sqlite3* db_ = nullptr;
    bool tableChecked_ = false;
    // The statement that takes a block, prepared once per connection.
    sqlite3_stmt* take_ = nullptr;
    QByteArray lastRaw_;
    QString lastName_;
    // The block of lastName_ (one value per row of a large INSERT ... SELECT
    // comes from it without looking the name up). Only next(QString) and
    // reset() add or drop blocks, and both clear it.
    Block* lastBlock_ = nullptr;
};

} // namespace rek2
