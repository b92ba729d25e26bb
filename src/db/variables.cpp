#include "db/variables.h"

#include "db/error.h"

#include <QDate>
#include <QDateTime>

namespace rek2 {

QString Variables::storedName(const QString& name)
{
    QString n = name.trimmed();
    if (n.startsWith(QLatin1Char(':')))
        n.remove(0, 1);
    return QLatin1Char(':') + n.toUpper();
}

int Variables::indexOf(const QString& stored) const
{
    for (int i = 0; i < vars_.size(); ++i)
        if (vars_[i].name == stored)
            return i;
    return -1;
}

void Variables::declare(const QString& name, VarType type)
{
    const QString stored = storedName(name);
    const int i = indexOf(stored);
    if (i >= 0)
        vars_[i].type = type;
    else
        vars_.append({stored, type, QVariant()});
}

void Variables::set(const QString& name, const QVariant& value)
{
    const QString stored = storedName(name);
    const int i = indexOf(stored);
    if (i < 0)
        throw DbError(QStringLiteral("Variable ") + stored + QStringLiteral(" not declared"));
    vars_[i].value = value;
}

void Variables::declareAndSet(const QString& name, VarType type, const QVariant& value)
{
    declare(name, type);
    set(name, value);
}

bool Variables::isDeclared(const QString& name) const
{
    return indexOf(storedName(name)) >= 0;
}

const Variables::Variable* Variables::find(const QString& name) const
{
    const int i = indexOf(storedName(name));
    return i < 0 ? nullptr : &vars_[i];
}

QVariant Variables::value(const QString& name) const
{
    const Variable* v = find(name);
    if (!v)
        throw DbError(QStringLiteral("Variable ") + storedName(name) + QStringLiteral(" not declared"));
    return v->value;
}

QVariant Variables::bindValue(const Variable& v)
{
    const QVariant& x = v.value;
    if (x.isNull() || !x.isValid())
        return QVariant();
    switch (v.type) {
    case VarType::Date: {
        QDate d;
        if (x.typeId() == QMetaType::QDateTime)
            d = x.toDateTime().date();
        else if (x.typeId() == QMetaType::QDate)
            d = x.toDate();
        else {
            const QString s = x.toString().trimmed();
            if (s.isEmpty())
                return QVariant();
            d = QDate::fromString(s.left(10), Qt::ISODate);
            if (!d.isValid())
                d = QDate::fromString(s, QStringLiteral("dd.MM.yyyy"));
            if (!d.isValid())
                throw DbError(QStringLiteral("Invalid date value for variable ") + v.name +
                              QStringLiteral(": ") + s);
        }
        if (!d.isValid())
            return QVariant();
        return d.toString(Qt::ISODate);
    }
    case VarType::Integer:
    case VarType::Float: {
        if (x.typeId() == QMetaType::QString && x.toString().trimmed().isEmpty())
            return QVariant();
        bool ok = false;
        const double d = x.toDouble(&ok);
        if (!ok)
            throw DbError(QStringLiteral("Invalid number for variable ") + v.name + QStringLiteral(": ") +
                          x.toString());
        if (v.type == VarType::Float)
            return d;
        return qlonglong(d < 0 ? d - 0.5 : d + 0.5);
    }
    case VarType::String: {
        if (x.typeId() == QMetaType::QDate)
            return x.toDate().toString(Qt::ISODate);
        const QString s = x.toString();
        if (s.isEmpty())
            return QVariant(); // the empty string is NULL
        return s;
    }
    }
    return x;
}

} // namespace rek2
