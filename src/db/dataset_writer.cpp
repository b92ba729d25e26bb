#include "db/dataset_writer.h"

#include "db/dialect.h"
#include "db/error.h"
#include "db/field.h"
#include "db/session.h"
#include "db/sql_error.h"

#include <QSqlIndex>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>
#include <cmath>

namespace rek2 {

namespace {

bool sameValue(const QVariant& a, const QVariant& b, FieldType type)
{
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull();
    switch (type) {
    case FieldType::Integer:
    case FieldType::Float: {
        const double x = a.toDouble();
        const double y = b.toDouble();
        return x == y || std::fabs(x - y) <= 1e-9 * std::max(1.0, std::fabs(x));
    }
    case FieldType::Date:
        return a.toDate() == b.toDate();
    default:
        return variantToText(a) == variantToText(b);
    }
}

} // namespace

DataSetWriter::DataSetWriter(Session& session, QString table, const std::vector<const FieldDef*>& fields)
    : session_(session), table_(std::move(table)), fields_(fields)
{
    const Dialect& d = session_.dialect();
    const QSqlRecord rec = session_.database().record(d.catalogName(table_));
    if (rec.isEmpty())
        throw DbError(QStringLiteral("Table ") + table_ + QStringLiteral(" does not exist"));
    for (int i = 0; i < int(fields_.size()); ++i) {
        const FieldDef* f = fields_[size_t(i)];
        if (!f || f->calculated)
            continue;
        const int c = rec.indexOf(f->name);
        if (c >= 0 && f->name.compare(QLatin1String("ROWID"), Qt::CaseInsensitive) != 0)
            columns_.push_back({rec.fieldName(c), i});
    }
    // The row is found by the engine's key for the table, else by its
    // primary key when the dataset holds it, else by ROWID, else by all
    // its values.
    QStringList key = d.rowKey(table_);
    const bool required = !key.isEmpty();
    if (key.isEmpty()) {
        const QSqlIndex primary = session_.database().primaryIndex(d.catalogName(table_));
        for (int i = 0; i < primary.count(); ++i)
            key << primary.fieldName(i);
    }
    for (const QString& k : key) {
        const auto c = std::find_if(columns_.begin(), columns_.end(), [&](const Column& col) {
            return col.name.compare(k, Qt::CaseInsensitive) == 0;
        });
        if (c == columns_.end()) {
            if (required)
                throw DbError(table_ + QStringLiteral(": the dataset does not select the key column ") + k);
            key_.clear();
            break;
        }
        key_.push_back(*c);
    }
    if (key_.empty() && !d.hasRowId())
        key_ = columns_;
}

QString DataSetWriter::quoted(const QString& name) const
{
    return session_.dialect().quoteIdentifier(name);
}

QString DataSetWriter::where(const QVariant& rowid, const std::vector<QVariant>& row,
                             QVariantList& binds) const
{
    if (key_.empty()) {
        binds << rowid;
        return QStringLiteral(" WHERE ROWID = ?");
    }
    // "col = ?" for a value, "col IS NULL" for none: both can use an index.
    QStringList parts;
    for (const Column& k : key_) {
        const QVariant v = bindable(k.field, row[size_t(k.field)]);
        if (v.isNull()) {
            parts << quoted(k.name) + QStringLiteral(" IS NULL");
        } else {
            parts << quoted(k.name) + QStringLiteral(" = ?");
            binds << v;
        }
    }
    return QStringLiteral(" WHERE ") + parts.join(QStringLiteral(" AND "));
}

QVariant DataSetWriter::bindable(int field, const QVariant& v) const
{
    if (v.isNull() || !v.isValid())
        return {};
    switch (fields_[size_t(field)]->type) {
    case FieldType::Date:
        return v.toDate().toString(Qt::ISODate);
    case FieldType::String: {
        const QString s = v.toString();
        return s.isEmpty() ? QVariant() : QVariant(s);
    }
    case FieldType::Integer:
        return v.toLongLong();
    case FieldType::Float:
        return v.toDouble();
    case FieldType::Variant:
        if (v.typeId() == QMetaType::QDate)
            return v.toDate().toString(Qt::ISODate);
        if (v.typeId() == QMetaType::QString && v.toString().isEmpty())
            return {};
        return v;
    }
    return v;
}

bool DataSetWriter::readRow(const QVariant& rowid, std::vector<QVariant>& row, bool lock) const
{
    QStringList cols;
    for (const Column& c : columns_)
        cols << quoted(c.name);
    if (cols.isEmpty())
        cols << QStringLiteral("1");
    session_.refuseDuringPulse();
    QSqlQuery q(session_.database());
    q.setForwardOnly(true);
    QVariantList binds;
    const QString cond = where(rowid, row, binds);
    if (!q.prepare(QStringLiteral("SELECT ") + cols.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") +
                   quoted(table_) + cond + (lock ? session_.dialect().lockRowsClause() : QString())))
        throwSqlError(q.lastError());
    for (const QVariant& b : binds)
        q.addBindValue(b);
    if (!q.exec())
        throwSqlError(q.lastError());
    if (!q.next())
        return false;
    for (size_t i = 0; i < columns_.size(); ++i) {
        const int f = columns_[i].field;
        row[size_t(f)] = coerceToFieldType(q.value(int(i)), fields_[size_t(f)]->type);
    }
    // A key that finds two rows cannot tell which one was read.
    if (!key_.empty() && q.next())
        throw DbError(table_ + QStringLiteral(": the row cannot be told apart from another one"));
    return true;
}

void DataSetWriter::checkUnchanged(const QVariant& rowid, const std::vector<QVariant>& original,
                                   bool lock) const
{
    std::vector<QVariant> now = original;
    if (!readRow(rowid, now, lock))
        throw DbError(kRecordDeleted);
    for (const Column& c : columns_) {
        const auto f = size_t(c.field);
        if (!sameValue(now[f], original[f], fields_[f]->type))
            throw DbError(kRecordChanged);
    }
}

void DataSetWriter::update(const QVariant& rowid, const std::vector<QVariant>& original,
                           const std::vector<QVariant>& values)
{
    QStringList sets;
    QVariantList binds;
    for (const Column& c : columns_) {
        const auto f = size_t(c.field);
        if (sameValue(values[f], original[f], fields_[f]->type) && values[f].isNull() == original[f].isNull())
            continue;
        sets << quoted(c.name) + QStringLiteral(" = ?");
        binds << bindable(c.field, values[f]);
    }
    if (sets.isEmpty())
        return;
    session_.refuseDuringPulse();
    QSqlQuery q(session_.database());
    const QString cond = where(rowid, original, binds);
    if (!q.prepare(QStringLiteral("UPDATE ") + quoted(table_) + QStringLiteral(" SET ") +
                   sets.join(QStringLiteral(", ")) + cond))
        throwSqlError(q.lastError());
    for (const QVariant& b : binds)
        q.addBindValue(b);
    if (!q.exec())
        throwSqlError(q.lastError());
    if (q.numRowsAffected() != 1)
        throw DbError(kRecordDeleted);
}

QVariant DataSetWriter::insert(const std::vector<QVariant>& values)
{
    QStringList cols, marks;
    QVariantList binds;
    for (const Column& c : columns_) {
        const QVariant b = bindable(c.field, values[size_t(c.field)]);
        if (b.isNull())
            continue;
        cols << quoted(c.name);
        marks << QStringLiteral("?");
        binds << b;
    }
    session_.refuseDuringPulse();
    QSqlQuery q(session_.database());
    const QString sql =
        cols.isEmpty() ? QStringLiteral("INSERT INTO ") + quoted(table_) + QStringLiteral(" DEFAULT VALUES")
                       : QStringLiteral("INSERT INTO ") + quoted(table_) + QStringLiteral(" (") +
                             cols.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (") +
                             marks.join(QStringLiteral(", ")) + QStringLiteral(")");
    if (!q.prepare(sql))
        throwSqlError(q.lastError());
    for (const QVariant& b : binds)
        q.addBindValue(b);
    if (!q.exec())
        throwSqlError(q.lastError());
    // Found again by its key values, which the caller holds.
    if (!key_.empty())
        return QStringLiteral("*");
    return q.lastInsertId();
}

void DataSetWriter::remove(const QVariant& rowid, const std::vector<QVariant>& original)
{
    session_.refuseDuringPulse();
    QSqlQuery q(session_.database());
    QVariantList binds;
    const QString cond = where(rowid, original, binds);
    if (!q.prepare(QStringLiteral("DELETE FROM ") + quoted(table_) + cond))
        throwSqlError(q.lastError());
    for (const QVariant& b : binds)
        q.addBindValue(b);
    if (!q.exec())
        throwSqlError(q.lastError());
    if (q.numRowsAffected() != 1)
        throw DbError(kRecordDeleted);
}

} // namespace rek2
