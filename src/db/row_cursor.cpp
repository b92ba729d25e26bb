#include "db/row_cursor.h"

#include "db/dialect.h"
#include "db/error.h"
#include "db/session.h"
#include "db/sql_error.h"
#include "db/statement_runner.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <cmath>

namespace rek2 {

struct CursorQuery
{
    QSqlQuery q;
};

namespace {

// Any engine: the rows through Qt's driver, one QVariant per value.
class GenericReader : public RowReader
{
public:
    explicit GenericReader(QSqlQuery& q) : q_(q) {}
    bool next() override
    {
        if (q_.next())
            return true;
        if (q_.lastError().isValid())
            throwSqlError(q_.lastError());
        return false;
    }
    QVariant value(int col) const override { return q_.value(col); }

private:
    QSqlQuery& q_;
};

} // namespace

RowCursor::RowCursor(QString name) : Statement(std::move(name)) {}

RowCursor::~RowCursor() = default;

void RowCursor::Open()
{
    Close();
    Session& s = session();
    auto query = std::make_unique<CursorQuery>(CursorQuery{runStatement(*this, s)});
    const QSqlRecord rec = query->q.record();
    names_.clear();
    for (int c = 0; c < rec.count(); ++c)
        names_ << s.dialect().columnName(rec.fieldName(c));
    types_ = s.dialect().resultTypes(query->q, rec.count());
    for (int c = 0; c < rec.count(); ++c)
        if (names_[c].compare(QLatin1String("ROWID"), Qt::CaseInsensitive) == 0)
            types_[size_t(c)] = FieldType::Variant;
    scratch_.assign(size_t(rec.count()), QByteArray());
    std::vector<SortColumn> order;
    for (const OrderKey& key : readerOrder()) {
        const int col = rec.indexOf(key.column);
        if (col < 0)
            throw DbError(Name + QStringLiteral(": Field '") + key.column + QStringLiteral("' not found"));
        order.push_back({col, key.nullsLast});
    }
    std::unique_ptr<RowReader> reader = s.dialect().rowReader(query->q);
    if (!reader)
        reader = std::make_unique<GenericReader>(query->q);
    query_ = std::move(query);
    reader_ = std::move(reader);
    order_ = std::move(order);
    outOfOrder_ = false;
}

bool RowCursor::Next()
{
    if (!reader_)
        throw DbError(Name + QStringLiteral(": the cursor is not open"));
    if (!reader_->next())
        return false;
    if (!order_.empty() && !reader_->followsInOrder(order_)) {
        outOfOrder_ = true;
        ClearEngineSQL();
        Close();
        return false;
    }
    return true;
}

void RowCursor::Close()
{
    reader_.reset();
    query_.reset();
}

int RowCursor::FieldIndex(const QString& name) const
{
    for (int i = 0; i < names_.size(); ++i)
        if (names_[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QVariant RowCursor::Value(int col) const
{
    const FieldType t = types_[size_t(col)];
    double d = 0;
    if ((t == FieldType::Float || t == FieldType::Integer) && reader_->number(col, d))
        return t == FieldType::Float ? QVariant(d) : QVariant(qlonglong(std::llround(d)));
    QByteArrayView bytes;
    if (t == FieldType::String && reader_->utf8(col, bytes))
        return bytes.isEmpty() ? QVariant() : QVariant(QString::fromUtf8(bytes));
    return coerceToFieldType(reader_->value(col), t);
}

bool RowCursor::IsNull(int col) const
{
    const FieldType t = types_[size_t(col)];
    double d = 0;
    if ((t == FieldType::Float || t == FieldType::Integer) && reader_->number(col, d))
        return false;
    QByteArrayView bytes;
    if (t == FieldType::String && reader_->utf8(col, bytes))
        return bytes.isEmpty();
    return Value(col).isNull();
}

QByteArrayView RowCursor::Text(int col) const
{
    QByteArrayView bytes;
    if (types_[size_t(col)] == FieldType::String && reader_->utf8(col, bytes))
        return bytes;
    const QVariant v = Value(col);
    QByteArray& out = scratch_[size_t(col)];
    out = v.isNull() ? QByteArray() : v.toString().toUtf8();
    return out;
}

} // namespace rek2
