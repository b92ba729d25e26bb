#include "db/sqlite/sqlite_fetch.h"

#include "db/error.h"
#include "db/field.h"
#include "db/row_cursor.h"
#include "db/row_store.h"

#include <QDate>
#include <QSqlResult>
#include <cmath>
#include <sqlite3.h>

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
    const int type = sqlite3_column_type(st, col);
    if (type == SQLITE_NULL)
        return; // the new row is NULL already
    switch (store.columnType(f)) {
    case FieldType::Float:
        if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) {
            store.setNumber(row, f, sqlite3_column_double(st, col));
            return;
        }
        break;
    case FieldType::Integer:
        if (type == SQLITE_INTEGER) {
            store.setNumber(row, f, double(sqlite3_column_int64(st, col)));
            return;
        }
        if (type == SQLITE_FLOAT) {
            store.setNumber(row, f, double(std::llround(sqlite3_column_double(st, col))));
            return;
        }
        break;
    case FieldType::String:
        if (type == SQLITE_TEXT) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
            const int n = sqlite3_column_bytes(st, col);
            if (n > 0)
                store.setUtf8(row, f, text, n);
            return;
        }
        break;
    case FieldType::Date:
        if (type == SQLITE_TEXT) {
            const unsigned char* text = sqlite3_column_text(st, col);
            const int n = sqlite3_column_bytes(st, col);
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
        throw DbError(QString::fromUtf8(sqlite3_errmsg(sqlite3_db_handle(st_))));
    }
    QVariant value(int col) const override { return asQtValue(st_, col); }
    bool utf8(int col, QByteArrayView& out) const override
    {
        if (sqlite3_column_type(st_, col) != SQLITE_TEXT)
            return false;
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st_, col));
        out = QByteArrayView(text, sqlite3_column_bytes(st_, col));
        return true;
    }
    bool number(int col, double& out) const override
    {
        const int type = sqlite3_column_type(st_, col);
        if (type != SQLITE_INTEGER && type != SQLITE_FLOAT)
            return false;
        out =
            type == SQLITE_INTEGER ? double(sqlite3_column_int64(st_, col)) : sqlite3_column_double(st_, col);
        return true;
    }

private:
    sqlite3_stmt* st_;
    bool first_ = true;
};

} // namespace

std::unique_ptr<RowReader> sqliteRowReader(QSqlQuery& q)
{
    sqlite3_stmt* st = statementOf(q);
    if (!st)
        return nullptr;
    return std::make_unique<SqliteRowReader>(st);
}

bool sqliteFetchAll(QSqlQuery& q, const std::vector<int>& source, RowStore& store)
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
    for (;;) {
        const int row = store.appendRow();
        for (int f = 0; f < fields; ++f)
            if (source[size_t(f)] >= 0)
                storeValue(store, row, f, st, source[size_t(f)]);
        const int rc = sqlite3_step(st);
        if (rc == SQLITE_DONE)
            break;
        if (rc != SQLITE_ROW)
            throw DbError(QString::fromUtf8(sqlite3_errmsg(sqlite3_db_handle(st))));
    }
    return true;
}

} // namespace rek2
