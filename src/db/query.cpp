#include "db/query.h"

#include "db/error.h"
#include "db/field.h"
#include "db/session.h"
#include "db/statement_runner.h"

#include <QSqlRecord>
#include <cmath>

namespace rek2 {

void Query::Execute()
{
    Close();
    Session& s = session();
    QSqlQuery q = runStatement(*this, s);
    if (q.isSelect()) {
        const QSqlRecord rec = q.record();
        for (int i = 0; i < rec.count(); ++i)
            names_ << s.dialect().columnName(rec.fieldName(i));
        if (q.next()) {
            hasRow_ = true;
            row_.resize(rec.count());
            for (int i = 0; i < rec.count(); ++i) {
                row_[i] = q.value(i);
                // A date reads as its ISO text on every engine, as SQLite stores it.
                if (row_[i].typeId() == QMetaType::QDate)
                    row_[i] = row_[i].toDate().toString(Qt::ISODate);
            }
        }
        rowsProcessed_ = hasRow_ ? 1 : 0;
    } else {
        rowsProcessed_ = q.numRowsAffected();
    }
    q.finish();
}

void Query::Close()
{
    rowsProcessed_ = 0;
    hasRow_ = false;
    names_.clear();
    row_.clear();
}

QString Query::FieldName(int i) const
{
    checkIndex(i);
    return names_.at(i);
}

int Query::FieldIndex(const QString& name) const
{
    for (int i = 0; i < names_.size(); ++i)
        if (names_[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int Query::checkedIndex(const QString& name) const
{
    const int i = FieldIndex(name);
    if (i < 0)
        throw DbError(QStringLiteral("Field '") + name + QStringLiteral("' not found"));
    return i;
}

void Query::checkIndex(int i) const
{
    if (i < 0 || i >= names_.size())
        throw DbError(QStringLiteral("Field index %1 out of range").arg(i));
}

QVariant Query::Field(int i) const
{
    checkIndex(i);
    return hasRow_ ? row_.at(i) : QVariant();
}

QVariant Query::Field(const QString& name) const
{
    return Field(checkedIndex(name));
}
QString Query::FieldAsString(int i) const
{
    return variantToText(Field(i));
}
QString Query::FieldAsString(const QString& name) const
{
    return FieldAsString(checkedIndex(name));
}

double Query::FieldAsFloat(int i) const
{
    const QVariant v = Field(i);
    return v.isNull() ? 0.0 : coerceToFieldType(v, FieldType::Float).toDouble();
}

double Query::FieldAsFloat(const QString& name) const
{
    return FieldAsFloat(checkedIndex(name));
}

int Query::FieldAsInteger(int i) const
{
    const QVariant v = Field(i);
    return v.isNull() ? 0 : int(std::llround(coerceToFieldType(v, FieldType::Float).toDouble()));
}

int Query::FieldAsInteger(const QString& name) const
{
    return FieldAsInteger(checkedIndex(name));
}

QDate Query::FieldAsDate(int i) const
{
    return coerceToFieldType(Field(i), FieldType::Date).toDate();
}
QDate Query::FieldAsDate(const QString& name) const
{
    return FieldAsDate(checkedIndex(name));
}
bool Query::FieldIsNull(int i) const
{
    return Field(i).isNull();
}
bool Query::FieldIsNull(const QString& name) const
{
    return FieldIsNull(checkedIndex(name));
}

} // namespace rek2
