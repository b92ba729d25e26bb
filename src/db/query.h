#pragma once
#include "db/statement.h"

#include <QVariant>
#include <QVector>

namespace rek2 {

// Runs one statement; a select keeps its first row only.
class Query : public Statement
{
public:
    using Statement::Statement;

    // Runs SQL with the current variable values. Throws DbError with the
    // engine's message. Every variable used in the text must be declared.
    void Execute();
    // Forgets the result; text and variables stay.
    void Close();

    int RowsProcessed() const { return rowsProcessed_; } // rows changed, or 1/0 for a select
    int RowCount() const { return hasRow_ ? 1 : 0; }     // above 0 when a select returned a row
    int FieldCount() const { return int(names_.size()); }
    QString FieldName(int i) const;
    int FieldIndex(const QString& name) const; // case-insensitive, -1 when missing

    // First-row values. Position out of range or unknown name: DbError.
    QVariant Field(int i) const;
    QVariant Field(const QString& name) const;
    QString FieldAsString(int i) const;
    QString FieldAsString(const QString& name) const;
    double FieldAsFloat(int i) const;
    double FieldAsFloat(const QString& name) const;
    int FieldAsInteger(int i) const;
    int FieldAsInteger(const QString& name) const;
    QDate FieldAsDate(int i) const;
    QDate FieldAsDate(const QString& name) const;
    bool FieldIsNull(int i) const;
    bool FieldIsNull(const QString& name) const;

private:
    int checkedIndex(const QString& name) const;
    void checkIndex(int i) const;

    int rowsProcessed_ = 0;
    bool hasRow_ = false;
    QStringList names_;
    QVector<QVariant> row_;
};

} // namespace rek2
