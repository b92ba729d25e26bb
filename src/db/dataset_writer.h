#pragma once
#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

namespace rek2 {

class Session;
struct FieldDef;

// Writes one dataset row back to its table, after locking it and comparing
// it with what the dataset read. The row is found by its ROWID where the
// engine has one, else by the table's key columns (Dialect::rowKey), whose
// values are taken from the row as the dataset holds it.
class DataSetWriter
{
public:
    struct Column
    {
        QString name; // table column
        int field;    // dataset field index
    };

    // `fieldNames` are the dataset's non-calculated fields; the writer keeps
    // those that are columns of `table`.
    DataSetWriter(Session& session, QString table, const std::vector<const FieldDef*>& fields);

    const std::vector<Column>& columns() const { return columns_; }

    // Throws kRecordDeleted / kRecordChanged when the row in the database is
    // gone or differs from `original` (values by field index). With `lock`
    // the row stays locked until the transaction ends; a row another
    // connection holds fails at once (Dialect::lockRowsClause).
    void checkUnchanged(const QVariant& rowid, const std::vector<QVariant>& original, bool lock) const;
    // Reads the row found by `rowid` / the key values of `row` into `row`
    // (table columns, by field index); false when gone.
    bool readRow(const QVariant& rowid, std::vector<QVariant>& row, bool lock = false) const;

    void update(const QVariant& rowid, const std::vector<QVariant>& original,
                const std::vector<QVariant>& values);
    // Returns the new row's ROWID (a non-null mark where rows are found by key).
    QVariant insert(const std::vector<QVariant>& values);
    void remove(const QVariant& rowid, const std::vector<QVariant>& original);

private:
    QVariant bindable(int field, const QVariant& v) const;
    // " WHERE ..." finding the row, and its bind values.
    QString where(const QVariant& rowid, const std::vector<QVariant>& row, QVariantList& binds) const;
    QString quoted(const QString& name) const;

    Session& session_;
    QString table_;
    std::vector<const FieldDef*> fields_;
    std::vector<Column> columns_;
    std::vector<Column> key_; // empty: by ROWID
};

} // namespace rek2
