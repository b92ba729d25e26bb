#include "db/dataset_writer.h"

#include "db/error.h"
#include "db/field.h"
#include "db/session.h"
#include "db/sql_error.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <cmath>

namespace rek2 {

namespace {

// Table and column names come from the statement text and the engine's
// catalogue, never from typed text; quoting keeps odd names whole.
QString quoted(const QString& name)
{
    QString n = name;
    return QLatin1Char('"') + n.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

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
    const QSqlRecord rec = session_.database().record(table_);
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

bool DataSetWriter::readRow(const QVariant& rowid, std::vector<QVariant>& row) const
{
    QStringList cols;
    for (const Column& c : columns_)
        cols << quoted(c.name);
    if (cols.isEmpty())
        cols << QStringLiteral("1");
    QSqlQuery q(session_.database());
    q.setForwardOnly(true);
    if (!q.prepare(QStringLiteral("SELECT ") + cols.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") +
                   quoted(table_) + QStringLiteral(" WHERE ROWID = ?")))
        throwSqlError(q.lastError());
    q.addBindValue(rowid);
    if (!q.exec())
        throwSqlError(q.lastError());
    if (!q.next())
        return false;
    for (size_t i = 0; i < columns_.size(); ++i) {
        const int f = columns_[i].field;
        row[size_t(f)] = coerceToFieldType(q.value(int(i)), fields_[size_t(f)]->type);
    }
    return true;
}

void DataSetWriter::checkUnchanged(const QVariant& rowid, const std::vector<QVariant>& original) const
{
    std::vector<QVariant> now(original.size());
    if (!readRow(rowid, now))
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
    QSqlQuery q(session_.database());
    if (!q.prepare(QStringLiteral("UPDATE ") + quoted(table_) + QStringLiteral(" SET ") +
                   sets.join(QStringLiteral(", ")) + QStringLiteral(" WHERE ROWID = ?")))
        throwSqlError(q.lastError());
    for (const QVariant& b : binds)
        q.addBindValue(b);
    q.addBindValue(rowid);
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
    return q.lastInsertId();
}

void DataSetWriter::remove(const QVariant& rowid)
{
    QSqlQuery q(session_.database());
    if (!q.prepare(QStringLiteral("DELETE FROM ") + quoted(table_) + QStringLiteral(" WHERE ROWID = ?")))
        throwSqlError(q.lastError());
    q.addBindValue(rowid);
    if (!q.exec())
        throwSqlError(q.lastError());
    if (q.numRowsAffected() != 1)
        throw DbError(kRecordDeleted);
}

} // namespace rek2
