#include "db/sqlite/sqlite_fetch.h"

#include "db/error.h"
#include "db/field.h"
#include "db/row_cursor.h"
#include "db/row_store.h"
#include "db/sql_error.h"

#include <QDate>
#include <QSqlResult>
#include <algorithm>
#include <cmath>
#include <numeric>
#include <sqlite3.h>
#include <string>
#include <string_view>
#include <unordered_map>

namespace rek2 {
namespace {

// The value as Qt's SQLite driver hands it out.
QVariant asQtValue(sqlite3_stmt* st, int col)
{
    switch (sqlite3_column_type(st, col)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(st, col)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(st, col));
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char*>(sqlite3_column_blob(st, col)),
                          sqlite3_column_bytes(st, col));
    case SQLITE_NULL:
        return QVariant();
    default:
        return QString(reinterpret_cast<const QChar*>(sqlite3_column_text16(st, col)),
                       sqlite3_column_bytes16(st, col) / qsizetype(sizeof(QChar)));
    }
}

int digits(const unsigned char* p, int n)
{
    int v = 0;
    for (int i = 0; i < n; ++i) {
        if (p[i] < '0' || p[i] > '9')
            return -1;
        v = v * 10 + (p[i] - '0');
    }
    return v;
}

// "YYYY-MM-DD" (what the schema stores) read without a QString; anything
// else goes the generic way, which also knows the other forms.
bool isoDay(const unsigned char* p, int n, qint32& jd)
{
    if (n < 10 || p[4] != '-' || p[7] != '-')
        return false;
    const int y = digits(p, 4), m = digits(p + 5, 2), d = digits(p + 8, 2);
    if (y < 0 || m < 0 || d < 0)
        return false;
    const QDate day(y, m, d);
    if (!day.isValid())
        return false;
    jd = qint32(day.toJulianDay());
    return true;
}

void storeGeneric(RowStore& store, int row, int f, sqlite3_stmt* st, int col)
{
    store.setValue(row, f, coerceToFieldType(asQtValue(st, col), store.columnType(f)));
}

void storeValue(RowStore& store, int row, int f, sqlite3_stmt* st, int col)
{
    // The column's value looked up once, for its type and its bytes.
    sqlite3_value* v = sqlite3_column_value(st, col);
    const int type = sqlite3_value_type(v);
    if (type == SQLITE_NULL)
        return; // the new row is NULL already
    switch (store.columnType(f)) {
    case FieldType::Float:
        if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) {
            store.setNumber(row, f, sqlite3_value_double(v));
            return;
        }
        break;
    case FieldType::Integer:
        if (type == SQLITE_INTEGER) {
            store.setNumber(row, f, double(sqlite3_value_int64(v)));
            return;
        }
        if (type == SQLITE_FLOAT) {
            store.setNumber(row, f, double(std::llround(sqlite3_value_double(v))));
            return;
        }
        break;
    case FieldType::String:
        if (type == SQLITE_TEXT) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(v));
            const int n = sqlite3_value_bytes(v);
            if (n > 0)
                store.setUtf8(row, f, text, n);
            return;
        }
        break;
    case FieldType::Date:
        if (type == SQLITE_TEXT) {
            const unsigned char* text = sqlite3_value_text(v);
            const int n = sqlite3_value_bytes(v);
            if (n == 0)
                return;
            qint32 jd = 0;
            if (isoDay(text, n, jd)) {
                store.setDay(row, f, jd);
                return;
            }
        }
        break;
    case FieldType::Variant:
        break;
    }
    storeGeneric(store, row, f, st, col);
}

// The place of a value's storage class in SQLite's ORDER BY: NULL first (or
// after all with NULLS LAST), then numbers of both kinds, texts, blobs.
enum : quint8 { kNull, kNumber, kText, kBlob, kLast };

quint8 keyKind(sqlite3_value* v, bool nullsLast)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
        return nullsLast ? kLast : kNull;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        return kNumber;
    case SQLITE_TEXT:
        return kText;
    default:
        return kBlob;
    }
}

// A number key. Integers are exact below 2^53, which is every number this
// system keeps; above, two of them may compare equal, never the wrong way round.
double keyNumber(sqlite3_value* v)
{
    return sqlite3_value_type(v) == SQLITE_INTEGER ? double(sqlite3_value_int64(v)) : sqlite3_value_double(v);
}

// A text or blob key, compared byte by byte (the BINARY collation).
std::string_view keyBytes(sqlite3_value* v, quint8 kind)
{
    const char* data = kind == kText ? reinterpret_cast<const char*>(sqlite3_value_text(v))
                                     : static_cast<const char*>(sqlite3_value_blob(v));
    const int size = sqlite3_value_bytes(v);
    return data ? std::string_view(data, size_t(size)) : std::string_view("", 0); // an empty blob
}

// The sort keys of the rows read, taken from the engine's values so that
// the order is the one SQLite's ORDER BY gives: by storage class (NULL,
// numbers, texts, blobs; NULL after all with NULLS LAST), numbers by value,
// texts and blobs byte by byte. Each text is kept once and replaced by its
// rank among the column's texts, so that comparing two rows compares numbers.
class EngineOrder
{
public:
    explicit EngineOrder(const std::vector<SortColumn>& order) : order_(order), keys_(order.size()) {}

    void add(sqlite3_stmt* st)
    {
        for (size_t k = 0; k < order_.size(); ++k) {
            Key& key = keys_[k];
            sqlite3_value* v = sqlite3_column_value(st, order_[k].column);
            const quint8 kind = keyKind(v, order_[k].nullsLast);
            key.kind.push_back(kind);
            switch (kind) {
            case kNumber:
                key.value.push_back(keyNumber(v));
                break;
            case kText:
            case kBlob: {
                const std::string_view bytes = keyBytes(v, kind);
                key.value.push_back(key.idOf(bytes.data(), int(bytes.size())));
                break;
            }
            default:
                key.value.push_back(0);
                break;
            }
        }
    }

    // The rows' order: row order[r] of the rows read comes r-th.
    std::vector<int> sorted()
    {
        for (Key& key : keys_)
            key.rankTexts();
        std::vector<int> order(keys_.empty() ? 0 : keys_.front().kind.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
            for (const Key& key : keys_) {
                const auto ka = key.kind[size_t(a)], kb = key.kind[size_t(b)];
                if (ka != kb)
                    return ka < kb;
                const double va = key.value[size_t(a)], vb = key.value[size_t(b)];
                if (va != vb)
                    return va < vb;
            }
            return false;
        });
        return order;
    }

private:
    struct Key
    {
        std::vector<quint8> kind;
        std::vector<double> value; // the number, or the text's id (its rank once ranked)
        std::unordered_map<std::string, int> ids;
        std::string last; // the text of the row before, most often the same
        int lastId = -1;

        int idOf(const char* data, int size)
        {
            if (lastId >= 0 && last.size() == size_t(size) && std::equal(last.begin(), last.end(), data))
                return lastId;
            last.assign(data, size_t(size));
            lastId = ids.emplace(last, int(ids.size())).first->second;
            return lastId;
        }
        void rankTexts()
        {
            if (ids.empty())
                return;
            std::vector<const std::string*> texts(ids.size());
            for (const auto& [text, id] : ids)
                texts[size_t(id)] = &text;
            std::vector<int> byText(texts.size());
            std::iota(byText.begin(), byText.end(), 0);
            // std::string compares byte by byte as unsigned, as memcmp does.
            std::sort(byText.begin(), byText.end(),
                      [&](int a, int b) { return *texts[size_t(a)] < *texts[size_t(b)]; });
            std::vector<double> rank(texts.size());
            for (size_t r = 0; r < byText.size(); ++r)
                rank[size_t(byText[r])] = double(r);
            for (size_t i = 0; i < kind.size(); ++i)
                if (kind[i] == kText || kind[i] == kBlob)
                    value[i] = rank[size_t(value[i])];
        }
    };
    const std::vector<SortColumn>& order_;
    std::vector<Key> keys_;
};

// The looked-up columns of the rows read: each statement is prepared once
// and run once for each different set of key values, which are bound as the
// engine holds them (type and bytes), so the result is what the same
// look-up written into the row's statement would give.
class Lookups
{
public:
    Lookups(sqlite3* db, const std::vector<LookedUpColumn>& lookups, const std::vector<int>& source) : db_(db)
    {
        for (const LookedUpColumn& l : lookups) {
            Lookup one{&l, -1, nullptr, {}};
            for (size_t f = 0; f < source.size(); ++f)
                if (source[f] == l.column)
                    one.field = int(f);
            if (one.field >= 0)
                lookups_.push_back(std::move(one));
        }
    }
    ~Lookups()
    {
        for (Lookup& l : lookups_)
            sqlite3_finalize(l.statement);
    }
    Lookups(const Lookups&) = delete;
    Lookups& operator=(const Lookups&) = delete;

    void fill(sqlite3_stmt* st, RowStore& store, int row)
    {
        for (Lookup& l : lookups_) {
            key_.clear();
            for (const int col : l.def->keys)
                appendKey(st, col);
            auto it = l.values.find(key_);
            if (it == l.values.end())
                it = l.values.emplace(key_, lookUp(l, st)).first;
            if (!it->second.isNull())
                store.setValue(row, l.field, coerceToFieldType(it->second, store.columnType(l.field)));
        }
    }

private:
    struct Lookup
    {
        const LookedUpColumn* def;
        int field;
        sqlite3_stmt* statement;
        std::unordered_map<std::string, QVariant> values;
    };

    // The value's storage class and its number or bytes, as the order keys
    // take them (an integer and a real of the same value compare equal in
    // the look-up as well).
    void appendKey(sqlite3_stmt* st, int col)
    {
        sqlite3_value* v = sqlite3_column_value(st, col);
        const quint8 kind = keyKind(v, false);
        key_.push_back(char(kind));
        if (kind == kNumber) {
            const double d = keyNumber(v);
            key_.append(reinterpret_cast<const char*>(&d), sizeof d);
        } else if (kind == kText || kind == kBlob) {
            const std::string_view bytes = keyBytes(v, kind);
            const size_t n = bytes.size();
            key_.append(reinterpret_cast<const char*>(&n), sizeof n);
            key_.append(bytes);
        }
    }

    QVariant lookUp(Lookup& l, sqlite3_stmt* st)
    {
        const auto fail = [this] { throw DbError(withExplanation(QString::fromUtf8(sqlite3_errmsg(db_)))); };
        if (!l.statement) {
            const QByteArray sql = l.def->sql.toUtf8();
            if (sqlite3_prepare_v2(db_, sql.constData(), int(sql.size()), &l.statement, nullptr) != SQLITE_OK)
                fail();
        }
        sqlite3_reset(l.statement);
        for (size_t k = 0; k < l.def->keys.size(); ++k)
            if (sqlite3_bind_value(l.statement, int(k) + 1, sqlite3_column_value(st, l.def->keys[k])) !=
                SQLITE_OK)
                fail();
        const int rc = sqlite3_step(l.statement);
        if (rc == SQLITE_DONE)
            return {};
        if (rc != SQLITE_ROW)
            fail();
        QVariant value = asQtValue(l.statement, 0);
        sqlite3_reset(l.statement);
        return value;
    }

    sqlite3* db_;
    std::vector<Lookup> lookups_;
    std::string key_;
};

sqlite3_stmt* statementOf(QSqlQuery& q)
{
    const QVariant h = q.result() ? q.result()->handle() : QVariant();
    if (!h.isValid() || qstrcmp(h.typeName(), "sqlite3_stmt*") != 0)
        return nullptr;
    return *static_cast<sqlite3_stmt* const*>(h.constData());
}

class SqliteRowReader : public RowReader
{
public:
    explicit SqliteRowReader(sqlite3_stmt* st) : st_(st) {}
    bool next() override
    {
        if (first_) {
            // Executing the select stepped it onto its first row; a result
            // without rows was reset.
            first_ = false;
            return sqlite3_data_count(st_) > 0;
        }
        const int rc = sqlite3_step(st_);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        throw DbError(withExplanation(QString::fromUtf8(sqlite3_errmsg(sqlite3_db_handle(st_)))));
    }
    QVariant value(int col) const override { return asQtValue(st_, col); }
    // One look-up of the column's value, then its type and bytes from it.
    bool utf8(int col, QByteArrayView& out) const override
    {
        sqlite3_value* v = sqlite3_column_value(st_, col);
        const int type = sqlite3_value_type(v);
        if (type == SQLITE_NULL) {
            out = QByteArrayView();
            return true;
        }
        if (type != SQLITE_TEXT)
            return false;
        const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(v));
        out = QByteArrayView(text, sqlite3_value_bytes(v));
        return true;
    }
    bool number(int col, double& out) const override
    {
        sqlite3_value* v = sqlite3_column_value(st_, col);
        const int type = sqlite3_value_type(v);
        if (type != SQLITE_INTEGER && type != SQLITE_FLOAT)
            return false;
        out = type == SQLITE_INTEGER ? double(sqlite3_value_int64(v)) : sqlite3_value_double(v);
        return true;
    }
    bool followsInOrder(const std::vector<SortColumn>& order) override
    {
        const bool first = previous_.empty();
        previous_.resize(order.size());
        int compared = first ? -1 : 0; // the previous row against this one
        for (size_t k = 0; k < order.size(); ++k) {
            sqlite3_value* v = sqlite3_column_value(st_, order[k].column);
            Key key{keyKind(v, order[k].nullsLast), 0, {}};
            if (key.kind == kNumber)
                key.number = keyNumber(v);
            else if (key.kind == kText || key.kind == kBlob)
                key.bytes = keyBytes(v, key.kind);
            KeptKey& kept = previous_[k];
            if (compared == 0)
                compared = compare(kept, key);
            // Kept for the next row; most often the same text as before.
            kept.kind = key.kind;
            kept.number = key.number;
            if (kept.bytes != key.bytes)
                kept.bytes.assign(key.bytes);
        }
        return compared < 0;
    }

private:
    struct Key
    {
        quint8 kind = kNull;
        double number = 0;
        std::string_view bytes; // the engine's, until the next row
    };
    struct KeptKey
    {
        quint8 kind = kNull;
        double number = 0;
        std::string bytes;
    };
    static int compare(const KeptKey& a, const Key& b)
    {
        if (a.kind != b.kind)
            return a.kind < b.kind ? -1 : 1;
        if (a.number != b.number)
            return a.number < b.number ? -1 : 1;
        // Byte by byte as unsigned, as memcmp does.
        return std::string_view(a.bytes).compare(b.bytes);
    }
    sqlite3_stmt* st_;
    bool first_ = true;
    std::vector<KeptKey> previous_; // the keys of the row before
};

} // namespace

std::unique_ptr<RowReader> sqliteRowReader(QSqlQuery& q)
{
    sqlite3_stmt* st = statementOf(q);
    if (!st)
        return nullptr;
    return std::make_unique<SqliteRowReader>(st);
}

bool sqliteFetchAll(QSqlQuery& q, const std::vector<int>& source, const std::vector<SortColumn>& order,
                    const std::vector<LookedUpColumn>& lookups, RowStore& store)
{
    const QVariant h = q.result() ? q.result()->handle() : QVariant();
    if (!h.isValid() || qstrcmp(h.typeName(), "sqlite3_stmt*") != 0)
        return false;
    sqlite3_stmt* st = *static_cast<sqlite3_stmt* const*>(h.constData());
    if (!st)
        return false;
    // Executing the select stepped it onto its first row (Qt keeps a copy of
    // that row, which is never asked for); a result without rows was reset.
    if (sqlite3_data_count(st) == 0)
        return true;
    const int fields = int(source.size());
    EngineOrder keys(order);
    Lookups looked(sqlite3_db_handle(st), lookups, source);
    for (;;) {
        // The keys first: a column's type is only its own before a value
        // has been converted by reading it as another type.
        if (!order.empty())
            keys.add(st);
        const int row = store.appendRow();
        // Looked up before the row's values are read, for the same reason
        // (the looked-up column itself is empty in the row: reading leaves
        // its value).
        looked.fill(st, store, row);
        for (int f = 0; f < fields; ++f)
            if (source[size_t(f)] >= 0)
                storeValue(store, row, f, st, source[size_t(f)]);
        const int rc = sqlite3_step(st);
        if (rc == SQLITE_DONE)
            break;
        if (rc != SQLITE_ROW)
            throw DbError(withExplanation(QString::fromUtf8(sqlite3_errmsg(sqlite3_db_handle(st)))));
    }
    if (!order.empty())
        store.permute(keys.sorted());
    return true;
}

} // namespace rek2
