#pragma once
#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

namespace rek2 {

class Session;
struct FieldDef;

// Writes one dataset row back to its table by ROWID, after locking it (a
// write transaction) and comparing it with what the dataset read.
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
    // gone or differs from `original` (values by field index).
    void checkUnchanged(const QVariant& rowid, const std::vector<QVariant>& original) const;
    // Reads the row's table columns (by field index into `row`); false when gone.
    bool readRow(const QVariant& rowid, std::vector<QVariant>& row) const;

    void update(const QVariant& rowid, const std::vector<QVariant>& original,
                const std::vector<QVariant>& values);
    QVariant insert(const std::vector<QVariant>& values); // returns the new ROWID
    void remove(const QVariant& rowid);

private:
    QVariant bindable(int field, const QVariant& v) const;

    Session& session_;
    QString table_;
    std::vector<const FieldDef*> fields_;
    std::vector<Column> columns_;
};

} // namespace rek2
