#pragma once
#include "db/dataset_observer.h"
#include "db/field.h"
#include "db/statement.h"

#include <QList>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

namespace rek2 {

class RowStore;
class DataSetWriter;

enum class DataSetState { Inactive, Browse, Edit, Insert, CalcFields };

// The whole result of a select, fetched on Open, with a current row.
// Rows are kept once, column by column (RowStore); views read them on demand
// through RecordCount()/Value()/DisplayText().
//
// Writing back: an edited dataset selects its table's ROWID beside the
// columns ("A.*, A.ROWID"). Post updates the changed columns of the row by
// ROWID, or inserts a new row, into UpdatingTable (else the first table named
// after FROM); Delete removes the row by ROWID. Before writing, the row is
// locked (write transaction) and compared with what was read; each successful
// Post or Delete commits the session's transaction. Failures throw
// DbError with kRecordLocked / kRecordChanged / kRecordDeleted or the
// engine's message; a transaction Post opened itself is rolled back, one the
// caller opened is left for the caller to roll back.
class DataSet : public Statement
{
public:
    using Bookmark = quint64; // 0 = none

    explicit DataSet(QString name = QString());
    ~DataSet() override;

    QString UpdatingTable;

    // Field definitions (before Open). Defined fields come first, in the
    // order defined, then the result's other columns (hidden when any field
    // is defined; ROWID always hidden). A defined, not calculated field
    // missing from the result fails Open with "Field 'X' not found".
    TField* AddField(const FieldDef& def);
    void ClearFieldDefs();

    using Statement::SetEngineSQL;
    // A hand-written text for `engine` whose rows this dataset sorts itself
    // after reading them, by `order`, as the engine's ORDER BY would (values
    // of one column: empty, numbers, texts byte by byte; equal rows keep the
    // text's order). Sorting in memory is far cheaper than the engine's sort
    // of whole rows. The engine must read rows itself (Dialect::fetchAll).
    void SetEngineSQL(const QString& engine, const QStringList& lines, std::vector<OrderKey> order)
    {
        setEngineSQLOrdered(engine, lines, std::move(order));
    }
    // The same, with columns the text leaves empty (NULL) and the dataset
    // looks up itself for each row read, once per different set of keys: a
    // value that a long statement would compute again and again.
    void SetEngineSQL(const QString& engine, const QStringList& lines, std::vector<OrderKey> order,
                      std::vector<LookupColumn> lookups)
    {
        setEngineSQLOrdered(engine, lines, std::move(order), std::move(lookups));
    }

    // Opening and closing
    void Open(); // throws DbError; on failure the dataset stays closed
    void Close();
    bool Active() const { return state_ != DataSetState::Inactive; }
    void Refresh(); // re-runs the select with the same variables, keeps the current row when it is still
                    // there, fires AfterRefresh
    DataSetState State() const { return state_; }

    // Navigation over the visible rows
    void First();
    void Next();
    void Prior();
    void Last();
    bool Eof() const;
    bool Bof() const;
    bool IsEmpty() const { return RecordCount() == 0; }
    int RecordCount() const;
    int RecNo() const { return current_ + 1; }  // 1-based, 0 when empty
    void SetRecNo(int recNo);                   // 1-based
    int CurrentRow() const { return current_; } // 0-based, -1 when empty
    Bookmark GetBookmark() const;
    bool BookmarkValid(Bookmark b) const;
    void GotoBookmark(Bookmark b); // throws when the row is gone
    // Fields separated by ";", one value each; case-insensitive, whole values.
    bool Locate(const QString& fieldNames, const QVariantList& values);

    // Fields
    int FieldCount() const { return int(fields_.size()); }
    TField* Fields(int i) const { return fields_.at(size_t(i)); }
    TField* FieldByName(const QString& name) const; // throws "Field 'X' not found"
    TField* FindField(const QString& name) const;   // nullptr when missing
    int FieldIndex(const QString& name) const;      // -1 when missing

    // Values of any visible row, for views (no current-row change).
    QVariant Value(int row, int field) const;
    QString DisplayText(int row, int field) const;
    // Value(row, field) as a number (0 when NULL, which `null` tells), a day
    // (invalid when NULL; a text is read as an ISO date) or a text, taken
    // from the rows read without a QVariant: for readers of every row.
    double NumberValue(int row, int field, bool* null = nullptr) const;
    QDate DateValue(int row, int field) const;
    QString TextValue(int row, int field) const;

    // Editing
    void Edit();
    void Insert(); // new row before the current one
    void Append(); // new row at the end
    void Post();
    void Cancel();
    void Delete();
    bool Modified() const { return modified_; }

    // Client filter: one comparison "FIELD op value" (op = <> < > <= >=;
    // value a number or a quoted text), e.g. "ID_REK2_ANAL = 0".
    void SetFilter(const QString& filter);
    const QString& Filter() const { return filter_; }
    void SetFiltered(bool on);
    bool Filtered() const { return filtered_; }

    void DisableControls() { ++disableCount_; }
    void EnableControls();
    bool ControlsDisabled() const { return disableCount_ > 0; }

    void addObserver(DataSetObserver* o);
    void removeObserver(DataSetObserver* o);

    // Events
    std::function<void(DataSet&)> AfterRefresh;
    std::function<void(DataSet&)> AfterDelete;
    std::function<void(DataSet&)> OnCalcFields; // current row = the row being calculated
    std::function<void(DataSet&)> BeforePost;   // throw to refuse the post
    std::function<void(DataSet&)> AfterScroll;  // current row changed

    // For TField.
    QVariant currentValue(int field) const;
    void setCurrentValue(int field, const QVariant& v);

private:
    bool storedAs(int row, int field, FieldType type, FieldType other) const;
    void releaseFields();
    void calculateRow(int physicalRow);
    void rebuildView();
    void resetView();
    void moveTo(int row);
    void checkActive() const;
    void checkBrowseMode();
    void startEditing(DataSetState state, int physicalRow);
    void insertRow(bool atEnd);
    void removeCurrentRow();
    QVariant currentRowid() const;
    std::vector<QVariant> rowValues(int physicalRow) const;
    DataSetWriter writer();
    template <typename F> void underRowLock(F write);

    struct Impl;
    std::unique_ptr<Impl> d_;
    std::vector<TField*> fields_; // owned by Impl
    DataSetState state_ = DataSetState::Inactive;
    int current_ = -1;
    bool modified_ = false;
    QString filter_;
    bool filtered_ = false;
    int disableCount_ = 0;
};

} // namespace rek2
