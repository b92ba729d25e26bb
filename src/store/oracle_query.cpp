#include "store/oracle_query.h"

#include "store/field.h"
#include "store/oracle_error.h"
#include "store/oracle_session.h"
#include "store/statement_runner.h"

#include <QSqlRecord>
#include <cmath>

namespace rek2 {

void TOracleQuery::Execute()
{
    Close();
    TOracleSession& s = session();
    QSqlQuery q = runStatement(*this, s);
    if (q.isSelect()) {
        const QSqlRecord rec = q.record();
        for (int i = 0; i < rec.count(); ++i)
            names_ << rec.fieldName(i);
        if (q.next()) {
            hasRow_ = true;
            row_.resize(rec.count());
            for (int i = 0; i < rec.count(); ++i)
                row_[i] = q.value(i);
        }
        rowsProcessed_ = hasRow_ ? 1 : 0;
    } else {
        rowsProcessed_ = q.numRowsAffected();
    }
    q.finish();
}

void TOracleQuery::Close()
{
    rowsProcessed_ = 0;
    hasRow_ = false;
    names_.clear();
    row_.clear();
}

QString TOracleQuery::FieldName(int i) const
{
    checkIndex(i);
    return names_.at(i);
}

int TOracleQuery::FieldIndex(const QString& name) const
{
    for (int i = 0; i < names_.size(); ++i)
        if (names_[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int TOracleQuery::checkedIndex(const QString& name) const
{
    const int i = FieldIndex(name);
    if (i < 0)
        throw OracleError(QStringLiteral("Field '") + name + QStringLiteral("' not found"));
    return i;
}

void TOracleQuery::checkIndex(int i) const
{
    if (i < 0 || i >= names_.size())
        throw OracleError(QStringLiteral("Field index %1 out of range").arg(i));
}

QVariant TOracleQuery::Field(int i) const
{
    checkIndex(i);
    return hasRow_ ? row_.at(i) : QVariant();
}

QVariant TOracleQuery::Field(const QString& name) const
{
    return Field(checkedIndex(name));
}
QString TOracleQuery::FieldAsString(int i) const
{
    return variantToText(Field(i));
}
QString TOracleQuery::FieldAsString(const QString& name) const
{
    return FieldAsString(checkedIndex(name));
}

double TOracleQuery::FieldAsFloat(int i) const
{
    const QVariant v = Field(i);
    return v.isNull() ? 0.0 : coerceToFieldType(v, FieldType::Float).toDouble();
}

double TOracleQuery::FieldAsFloat(const QString& name) const
{
    return FieldAsFloat(checkedIndex(name));
}

int TOracleQuery::FieldAsInteger(int i) const
{
    const QVariant v = Field(i);
    return v.isNull() ? 0 : int(std::llround(coerceToFieldType(v, FieldType::Float).toDouble()));
}

int TOracleQuery::FieldAsInteger(const QString& name) const
{
    return FieldAsInteger(checkedIndex(name));
}

QDate TOracleQuery::FieldAsDate(int i) const
{
    return coerceToFieldType(Field(i), FieldType::Date).toDate();
}
QDate TOracleQuery::FieldAsDate(const QString& name) const
{
    return FieldAsDate(checkedIndex(name));
}
bool TOracleQuery::FieldIsNull(int i) const
{
    return Field(i).isNull();
}
bool TOracleQuery::FieldIsNull(const QString& name) const
{
    return FieldIsNull(checkedIndex(name));
}

} // namespace rek2
