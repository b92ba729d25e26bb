#include "db/sqlite/sequences.h"

#include "db/error.h"

#include <cstring>
#include <sqlite3.h>

namespace rek2 {

QString sequenceTableName()
{
    return QStringLiteral("REK2_SEQUENCES");
}

QString sequenceTableDdl()
{
    return QStringLiteral(
        "CREATE TABLE IF NOT EXISTS REK2_SEQUENCES (NAME TEXT PRIMARY KEY, NEXT_VALUE INTEGER NOT NULL)");
}

namespace {

// A prepared statement that finalizes itself.
class Stmt
{
public:
    Stmt(sqlite3* db, const char* sql) : db_(db)
    {
        if (sqlite3_prepare_v2(db, sql, -1, &st_, nullptr) != SQLITE_OK)
            fail();
    }
    ~Stmt() { sqlite3_finalize(st_); }
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;

    Stmt& bind(int i, const QString& s)
    {
        const QByteArray b = s.toUtf8();
        sqlite3_bind_text(st_, i, b.constData(), int(b.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Stmt& bind(int i, qint64 v)
    {
        sqlite3_bind_int64(st_, i, v);
        return *this;
    }
    // True when a row came back.
    bool step()
    {
        const int rc = sqlite3_step(st_);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            fail();
        return false;
    }
    qint64 column(int i) const { return sqlite3_column_int64(st_, i); }

    [[noreturn]] void fail() const { throw DbError(QString::fromUtf8(sqlite3_errmsg(db_))); }

private:
    sqlite3* db_;
    sqlite3_stmt* st_ = nullptr;
};

} // namespace

SequenceCache::~SequenceCache()
{
    sqlite3_finalize(take_);
}

void SequenceCache::setHandle(sqlite3* db)
{
    sqlite3_finalize(take_);
    take_ = nullptr;
    db_ = db;
    tableChecked_ = false;
}

qint64 SequenceCache::next(const char* utf8, int bytes)
{
    if (!utf8)
        bytes = 0;
    const bool same =
        bytes == lastRaw_.size() && (bytes == 0 || memcmp(utf8, lastRaw_.constData(), size_t(bytes)) == 0);
    if (same && lastBlock_ && lastBlock_->next < lastBlock_->limit)
        return lastBlock_->next++;
    if (!same) {
        lastRaw_ = QByteArray(utf8, bytes);
        lastName_ = QString::fromUtf8(lastRaw_).trimmed().toUpper();
    }
    const qint64 value = next(lastName_);
    lastBlock_ = &blocks_[lastName_];
    return value;
}

qint64 SequenceCache::next(const QString& rawName)
{
    lastBlock_ = nullptr;
    const QString name = rawName.trimmed().toUpper();
    Block& b = blocks_[name];
    if (b.next >= b.limit) {
        if (!db_)
            throw DbError(QStringLiteral("Not logged on"));
        ensureTable();
        // One statement moves the counter, so two sessions never get the same block.
        for (int attempt = 0; attempt < 2; ++attempt) {
            const qint64 limit = takeBlock(name);
            if (limit > 0) {
                b.limit = limit;
                b.next = b.limit - kBlockSize;
                break;
            }
            Stmt ins(
                db_,
                "INSERT INTO REK2_SEQUENCES (NAME, NEXT_VALUE) VALUES (?, ?) ON CONFLICT(NAME) DO NOTHING");
            ins.bind(1, name).bind(2, 1 + kBlockSize);
            ins.step();
            if (sqlite3_changes(db_) == 1) {
                b.next = 1;
                b.limit = 1 + kBlockSize;
                break;
            }
        }
        if (b.next >= b.limit)
            throw DbError(QStringLiteral("Sequence ") + name + QStringLiteral(" cannot be read"));
    }
    return b.next++;
}

// Moves the counter of `name` on by a block; its new value, or 0 when the
// counter has no row.
qint64 SequenceCache::takeBlock(const QString& name)
{
    if (!take_ &&
        sqlite3_prepare_v2(
            db_, "UPDATE REK2_SEQUENCES SET NEXT_VALUE = NEXT_VALUE + ? WHERE NAME = ? RETURNING NEXT_VALUE",
            -1, &take_, nullptr) != SQLITE_OK) {
        take_ = nullptr;
        throw DbError(QString::fromUtf8(sqlite3_errmsg(db_)));
    }
    const QByteArray n = name.toUtf8();
    sqlite3_bind_int64(take_, 1, kBlockSize);
    sqlite3_bind_text(take_, 2, n.constData(), int(n.size()), SQLITE_TRANSIENT);
    qint64 limit = 0;
    int rc = sqlite3_step(take_);
    if (rc == SQLITE_ROW) {
        limit = sqlite3_column_int64(take_, 0);
        while ((rc = sqlite3_step(take_)) == SQLITE_ROW) {
        }
    }
    // Reset at once, so the statement holds nothing of the transaction.
    sqlite3_reset(take_);
    if (rc != SQLITE_DONE)
        throw DbError(QString::fromUtf8(sqlite3_errmsg(db_)));
    return limit;
}

void SequenceCache::ensureTable()
{
    if (tableChecked_)
        return;
    // A database made by an older version may lack the counters' table; the
    // first draw, which writes anyway, adds it.
    char* err = nullptr;
    if (sqlite3_exec(db_, sequenceTableDdl().toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        const QString m = QString::fromUtf8(err ? err : sqlite3_errmsg(db_));
        sqlite3_free(err);
        throw DbError(m);
    }
    tableChecked_ = true;
}

void SequenceCache::writeBack()
{
    if (!db_ || !tableChecked_)
        return;
    for (auto it = blocks_.cbegin(); it != blocks_.cend(); ++it) {
        if (it->limit <= 0)
            continue;
        Stmt st(db_, "INSERT INTO REK2_SEQUENCES (NAME, NEXT_VALUE) VALUES (?, ?) "
                     "ON CONFLICT(NAME) DO UPDATE SET NEXT_VALUE = max(NEXT_VALUE, excluded.NEXT_VALUE)");
        st.bind(1, it.key()).bind(2, it->limit);
        st.step();
    }
}

void SequenceCache::setNextValue(sqlite3* db, const QString& name, qint64 nextValue)
{
    Stmt st(db, "INSERT INTO REK2_SEQUENCES (NAME, NEXT_VALUE) VALUES (?, ?) "
                "ON CONFLICT(NAME) DO UPDATE SET NEXT_VALUE = excluded.NEXT_VALUE");
    st.bind(1, name.trimmed().toUpper()).bind(2, nextValue);
    st.step();
}

} // namespace rek2
