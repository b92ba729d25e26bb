#pragma once
#include <QList>
#include <QString>
#include <QVariant>

namespace rek2 {

// Types of declared bind variables.
enum class VarType { Integer, Float, String, Date };

// The declared variables of one statement object. Names are stored as ":" and
// the upper-cased name; look-ups accept any case, with or without the colon.
// Declarations survive changes of the statement text.
class Variables
{
public:
    struct Variable
    {
        QString name; // stored form, ":DATUMOD"
        VarType type = VarType::String;
        QVariant value; // null until set
    };

    // ":DatumOd" / "datumod" -> ":DATUMOD"
    static QString storedName(const QString& name);

    // Declaring an existing name changes its type and keeps its value.
    void declare(const QString& name, VarType type);
    // Throws DbError "Variable " + stored name + " not declared".
    void set(const QString& name, const QVariant& value);
    void declareAndSet(const QString& name, VarType type, const QVariant& value);
    bool isDeclared(const QString& name) const;
    const Variable* find(const QString& name) const;
    // Throws like set() when missing.
    QVariant value(const QString& name) const;
    void clear() { vars_.clear(); }
    const QList<Variable>& all() const { return vars_; }

    // The value as it is bound: an empty text is NULL (as on Oracle), a date
    // variable takes the calendar day only, integer and float values are
    // converted to their declared type.
    static QVariant bindValue(const Variable& v);

private:
    int indexOf(const QString& storedName) const;
    QList<Variable> vars_;
};

} // namespace rek2
