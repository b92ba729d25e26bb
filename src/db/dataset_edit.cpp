// Editing a dataset and writing its rows back (see oracle_dataset.h).
#include "db/dataset_impl.h"
#include "db/dataset_writer.h"
#include "db/error.h"
#include "db/session.h"
#include "db/sql_tokens.h"

namespace rek2 {

namespace {

QString firstTopLevelTable(const QStringList& sqlLines)
{
    const sql::Tokens t = sql::tokenize(sqlLines.join(QLatin1Char('\n')));
    int depth = 0;
    for (size_t i = 0; i + 1 < t.size(); ++i) {
        if (t[i].is(sql::Tok::LParen))
            ++depth;
        else if (t[i].is(sql::Tok::RParen))
            --depth;
        else if (depth == 0 && t[i].isWord("FROM") && t[i + 1].is(sql::Tok::Word))
            return t[i + 1].text;
    }
    return {};
}

} // namespace

DataSetWriter DataSet::writer()
{
    // The outer select's first table: a subquery in the select list (such
    // as a computed rate) names its own tables first.
    const QString table = UpdatingTable.isEmpty() ? firstTopLevelTable(SQL) : UpdatingTable;
    if (table.isEmpty())
        throw DbError(Name + QStringLiteral(": no table to update"));
    std::vector<const FieldDef*> defs;
    for (TField* f : fields_)
        defs.push_back(&f->def());
    return DataSetWriter(session(), table, defs);
}

QVariant DataSet::currentRowid() const
{
    if (d_->rowidField < 0)
        throw DbError(Name + QStringLiteral(": the dataset does not select the ROWID of its table"));
    const QVariant id = d_->store.value(d_->physical(current_), d_->rowidField);
    if (id.isNull())
        throw DbError(kRecordDeleted);
    return id;
}

std::vector<QVariant> DataSet::rowValues(int physicalRow) const
{
    std::vector<QVariant> row(fields_.size());
    for (size_t f = 0; f < fields_.size(); ++f)
        row[f] = d_->store.value(physicalRow, int(f));
    return row;
}

void DataSet::startEditing(DataSetState state, int physicalRow)
{
    d_->original = rowValues(physicalRow);
    d_->buffer = d_->original;
    state_ = state;
    modified_ = false;
    notifyAll(d_->observers, ControlsDisabled(), [&](DataSetObserver* o) { o->stateChanged(*this); });
}

void DataSet::Edit()
{
    checkActive();
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert)
        return;
    if (current_ < 0)
        throw DbError(Name + QStringLiteral(": Cannot perform this operation on an empty dataset"));
    // A row that another user changed or deleted since it was read is not
    // offered for editing.
    writer().checkUnchanged(currentRowid(), rowValues(d_->physical(current_)), false);
    startEditing(DataSetState::Edit, d_->physical(current_));
}

void DataSet::Insert()
{
    insertRow(false);
}
void DataSet::Append()
{
    insertRow(true);
}

void DataSet::insertRow(bool atEnd)
{
    checkActive();
    checkBrowseMode();
    const int viewRow = atEnd || current_ < 0 ? int(d_->view.size()) : current_;
    const int physical = viewRow < int(d_->view.size()) ? d_->physical(viewRow) : d_->store.rowCount();
    d_->store.insertRow(physical);
    for (int& p : d_->view)
        if (p >= physical)
            ++p;
    d_->view.insert(d_->view.begin() + viewRow, physical);
    current_ = viewRow;
    d_->bof = d_->eof = false;
    startEditing(DataSetState::Insert, physical);
    notifyAll(d_->observers, ControlsDisabled(), [&](DataSetObserver* o) {
        o->rowInserted(*this, viewRow);
        o->currentRowChanged(*this, viewRow);
    });
    if (AfterScroll)
        AfterScroll(*this);
}

void DataSet::removeCurrentRow()
{
    const int viewRow = current_;
    const int physical = d_->physical(viewRow);
    d_->store.removeRow(physical);
    d_->view.erase(d_->view.begin() + viewRow);
    for (int& p : d_->view)
        if (p > physical)
            --p;
    current_ = std::min(viewRow, int(d_->view.size()) - 1);
    d_->bof = current_ <= 0;
    d_->eof = d_->view.empty();
    notifyAll(d_->observers, ControlsDisabled(), [&](DataSetObserver* o) {
        o->rowRemoved(*this, viewRow);
        o->currentRowChanged(*this, current_);
    });
    if (AfterScroll)
        AfterScroll(*this);
}

void DataSet::Cancel()
{
    if (state_ == DataSetState::Insert) {
        state_ = DataSetState::Browse;
        modified_ = false;
        removeCurrentRow();
    } else if (state_ == DataSetState::Edit) {
        state_ = DataSetState::Browse;
        modified_ = false;
        notifyAll(d_->observers, ControlsDisabled(),
                  [&](DataSetObserver* o) { o->rowChanged(*this, current_); });
    } else {
        return;
    }
    d_->buffer.clear();
    d_->original.clear();
    notifyAll(d_->observers, ControlsDisabled(), [&](DataSetObserver* o) { o->stateChanged(*this); });
}

// Runs `write` under the row lock: in the caller's transaction when one is
// open, else in one of its own; a successful write commits the session.
template <typename F> void DataSet::underRowLock(F write)
{
    Session& s = session();
    const bool own = !s.InTransaction();
    if (own) {
        try {
            s.StartTransaction();
        } catch (const DbError& e) {
            if (s.dialect().isLockConflict(e.message()))
                throw DbError(kRecordLocked);
            throw;
        }
    }
    try {
        write();
        s.Commit();
    } catch (const DbError& e) {
        if (own && s.InTransaction())
            s.Rollback();
        if (s.dialect().isLockConflict(e.message()))
            throw DbError(kRecordLocked);
        throw;
    } catch (...) {
        if (own && s.InTransaction())
            s.Rollback();
        throw;
    }
}

void DataSet::Post()
{
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert)
        return;
    if (BeforePost)
        BeforePost(*this);
    DataSetWriter w = writer();
    const int physical = d_->physical(current_);
    if (state_ == DataSetState::Edit) {
        const QVariant rowid = currentRowid();
        underRowLock([&] {
            w.checkUnchanged(rowid, d_->original, true);
            w.update(rowid, d_->original, d_->buffer);
        });
    } else {
        underRowLock([&] {
            const QVariant rowid = w.insert(d_->buffer);
            if (d_->rowidField >= 0)
                d_->buffer[size_t(d_->rowidField)] = rowid;
            // Read back what the table stored (defaults, conversions).
            if (!rowid.isNull())
                w.readRow(rowid, d_->buffer);
        });
    }
    for (size_t f = 0; f < fields_.size(); ++f)
        d_->store.setValue(physical, int(f), d_->buffer[f]);
    state_ = DataSetState::Browse;
    modified_ = false;
    d_->buffer.clear();
    d_->original.clear();
    calculateRow(physical);
    notifyAll(d_->observers, ControlsDisabled(), [&](DataSetObserver* o) {
        o->rowChanged(*this, current_);
        o->stateChanged(*this);
    });
}

void DataSet::Delete()
{
    checkActive();
    if (state_ == DataSetState::Insert) {
        Cancel();
        return;
    }
    if (state_ == DataSetState::Edit)
        Cancel();
    if (current_ < 0)
        throw DbError(Name + QStringLiteral(": Cannot perform this operation on an empty dataset"));
    DataSetWriter w = writer();
    const QVariant rowid = currentRowid();
    const std::vector<QVariant> original = rowValues(d_->physical(current_));
    underRowLock([&] {
        w.checkUnchanged(rowid, original, true);
        w.remove(rowid, original);
    });
    removeCurrentRow();
    if (AfterDelete)
        AfterDelete(*this);
}

} // namespace rek2
