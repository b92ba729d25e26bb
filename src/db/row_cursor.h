#pragma once
#include "db/field.h"
#include "db/row_reader.h"
#include "db/statement.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <vector>

namespace rek2 {

// A select read forward, one row at a time, without keeping the rows: for
// work that needs every row of a large result once, such as writing a
// return's items while they are read. Values are those a DataSet over the
// same statement holds (the columns' declared types, the empty text as
// NULL); texts can also be taken as UTF-8 bytes without a QString.
class RowCursor : public Statement
{
public:
    explicit RowCursor(QString name = QString());
    ~RowCursor() override;

    using Statement::SetEngineSQL;
    // A hand-written text for `engine` that leaves out the ORDER BY of SQL,
    // for rows the engine's plan most often reads in that order already (the
    // rows of one key of an index, in the index's order), so that neither the
    // engine nor the cursor sorts them. The cursor checks each row against
    // the one before by `order` (result columns, compared as the engine's
    // ORDER BY compares them). At the first row that does not come strictly
    // after the one before, Next() returns false, OutOfOrder() is true and the
    // text is dropped: the caller starts again, and Open() runs SQL, which
    // the engine sorts. The engine must read rows itself (Dialect::rowReader).
    void SetEngineSQL(const QString& engine, const QStringList& lines, std::vector<OrderKey> order)
    {
        setEngineSQLOrdered(engine, lines, std::move(order));
    }

    // Runs SQL with the current variable values; throws DbError.
    void Open();
    // The next row (the first after Open); false at the end. Throws DbError.
    bool Next();
    void Close();
    bool Active() const { return reader_ != nullptr; }
    // The last reading stopped at a row out of the order it was given.
    bool OutOfOrder() const { return outOfOrder_; }

    int FieldIndex(const QString& name) const; // case-insensitive, -1 when missing
    FieldType FieldDataType(int col) const { return types_[size_t(col)]; }

    // The current row's value, as DataSet::Value gives it.
    QVariant Value(int col) const;
    bool IsNull(int col) const;
    // The value as text in UTF-8; empty for NULL. Valid until the next call
    // for the same column or Next().
    QByteArrayView Text(int col) const;

private:
    std::unique_ptr<struct CursorQuery> query_;
    std::unique_ptr<RowReader> reader_;
    QStringList names_;
    std::vector<FieldType> types_;
    std::vector<SortColumn> order_;
    bool outOfOrder_ = false;
    mutable std::vector<QByteArray> scratch_;
};

} // namespace rek2
