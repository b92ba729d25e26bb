#include "db/dataset.h"

#include "db/dataset_impl.h"
#include "db/dataset_writer.h"
#include "db/error.h"
#include "db/row_store.h"
#include "db/session.h"
#include "db/sql_error.h"
#include "db/sql_tokens.h"
#include "db/statement_runner.h"

#include <cmath>

#include <QSqlDriver>
#include <QSqlRecord>
#include <QSqlResult>
#include <algorithm>

namespace rek2 {

DataSet::DataSet(QString name) : Statement(std::move(name)), d_(std::make_unique<Impl>()) {}

DataSet::~DataSet()
{
    // Whoever still follows this dataset must not reach it after this point.
    const std::vector<DataSetObserver*> observers = std::move(d_->observers);
    d_->observers.clear();
    for (DataSetObserver* o : observers)
        o->dataSetDestroyed(*this);
}

TField* DataSet::AddField(const FieldDef& def)
{
    if (Active())
        throw DbError(Name + QStringLiteral(": cannot define fields of an open dataset"));
    d_->definedFields.push_back(std::make_unique<TField>(this, def, int(d_->definedFields.size())));
    return d_->definedFields.back().get();
}

void DataSet::ClearFieldDefs()
{
    if (Active())
        throw DbError(Name + QStringLiteral(": cannot define fields of an open dataset"));
    d_->definedFields.clear();
}

// ---- observers -------------------------------------------------------------

void DataSet::addObserver(DataSetObserver* o)
{
    if (std::find(d_->observers.begin(), d_->observers.end(), o) == d_->observers.end())
        d_->observers.push_back(o);
}

void DataSet::removeObserver(DataSetObserver* o)
{
    d_->observers.erase(std::remove(d_->observers.begin(), d_->observers.end(), o), d_->observers.end());
}

void DataSet::EnableControls()
{
    if (disableCount_ == 0)
        return;
    if (--disableCount_ > 0)
        return;
    notifyAll(d_->observers, false, [&](DataSetObserver* o) {
        o->dataSetReset(*this);
        o->currentRowChanged(*this, current_);
    });
}

// ---- opening ---------------------------------------------------------------

void DataSet::Open()
{
    if (Active())
        return;
    Session& s = session();
    QSqlQuery q = runStatement(*this, s);
    const QSqlRecord rec = q.record();
    const int columns = rec.count();
    const std::vector<FieldType> types = s.dialect().resultTypes(q, columns);

    // Fields: the defined ones first, then the result's other columns.
    fields_.clear();
    d_->autoFields.clear();
    std::vector<int> source; // result column of each field, -1 = calculated
    std::vector<bool> used(size_t(columns), false);
    const bool anyDefined = !d_->definedFields.empty();
    for (auto& f : d_->definedFields) {
        int col = -1;
        if (!f->def().calculated) {
            col = rec.indexOf(f->FieldName());
            if (col < 0) {
                fields_.clear();
                throw DbError(Name + QStringLiteral(": Field '") + f->FieldName() +
                              QStringLiteral("' not found"));
            }
            used[size_t(col)] = true;
        }
        f->index_ = int(fields_.size());
        fields_.push_back(f.get());
        source.push_back(col);
    }
    for (int c = 0; c < columns; ++c) {
        if (used[size_t(c)])
            continue;
        FieldDef def;
        def.name = s.dialect().columnName(rec.fieldName(c));
        def.type = types[size_t(c)];
        const bool isRowid = def.name.compare(QLatin1String("ROWID"), Qt::CaseInsensitive) == 0;
        if (isRowid)
            def.type = FieldType::Variant;
        def.visible = !anyDefined && !isRowid;
        d_->autoFields.push_back(std::make_unique<TField>(this, def, int(fields_.size())));
        fields_.push_back(d_->autoFields.back().get());
        source.push_back(c);
    }
    d_->rowidField = FieldIndex(QStringLiteral("ROWID"));

    std::vector<SortColumn> order;
    for (const OrderKey& key : readerOrder()) {
        const int col = rec.indexOf(key.column);
        if (col < 0) {
            releaseFields();
            throw DbError(Name + QStringLiteral(": Field '") + key.column + QStringLiteral("' not found"));
        }
        order.push_back({col, key.nullsLast});
    }
    std::vector<LookedUpColumn> lookups;
    for (const LookupColumn& lookup : readerLookups()) {
        LookedUpColumn looked{rec.indexOf(lookup.column), {}, lookup.sql};
        for (const QString& key : lookup.keys)
            looked.keys.push_back(rec.indexOf(key));
        if (looked.column < 0 || std::count(looked.keys.begin(), looked.keys.end(), -1) > 0) {
            releaseFields();
            throw DbError(Name + QStringLiteral(": Field '") + lookup.column + QLatin1Char(',') +
                          lookup.keys.join(QLatin1Char(',')) + QStringLiteral("' not found"));
        }
        lookups.push_back(std::move(looked));
    }

    std::vector<FieldType> storeTypes;
    for (auto& f : fields_)
        storeTypes.push_back(f->DataType());
    d_->store.reset(storeTypes);
    try {
        // A large result (a big day's analytic rows) takes seconds to read:
        // the window keeps itself painted meanwhile. Until the dataset is
        // open, a grid bound to it shows no values.
        s.runEngineWork([&] {
            if (!s.dialect().fetchAll(q, source, order, lookups, d_->store)) {
                if (!order.empty() || !lookups.empty())
                    throw DbError(Name + QStringLiteral(": this engine cannot sort the rows it reads"));
                while (q.next()) {
                    const int r = d_->store.appendRow();
                    for (size_t f = 0; f < fields_.size(); ++f)
                        if (source[f] >= 0)
                            d_->store.setValue(r, int(f),
                                               coerceToFieldType(q.value(source[f]), fields_[f]->DataType()));
                }
            }
        });
        if (q.lastError().isValid())
            throwSqlError(q.lastError());
    } catch (...) {
        releaseFields();
        d_->store.reset({});
        throw;
    }
    q.finish();
    d_->store.squeeze();

    state_ = DataSetState::Browse;
    modified_ = false;
    if (OnCalcFields)
        for (int r = 0; r < d_->store.rowCount(); ++r)
            calculateRow(r);
    resetView();
}

void DataSet::releaseFields()
{
    fields_.clear();
    d_->autoFields.clear();
}

void DataSet::Close()
{
    if (!Active())
        return;
    state_ = DataSetState::Inactive;
    releaseFields();
    d_->store.reset({});
    d_->view.clear();
    d_->buffer.clear();
    d_->original.clear();
    current_ = -1;
    modified_ = false;
    d_->eof = d_->bof = true;
    notifyAll(d_->observers, ControlsDisabled(), [&](DataSetObserver* o) {
        o->dataSetReset(*this);
        o->currentRowChanged(*this, -1);
    });
}

void DataSet::Refresh()
{
    checkBrowseMode();
    QVariant rowid;
    const int oldRow = current_;
    if (Active() && d_->rowidField >= 0 && current_ >= 0)
        rowid = Value(current_, d_->rowidField);
    DisableControls();
    try {
        Close();
        Open();
    } catch (...) {
        EnableControls();
        throw;
    }
    if (!d_->view.empty()) {
        int row = -1;
        if (!rowid.isNull() && d_->rowidField >= 0)
            for (int r = 0; r < int(d_->view.size()) && row < 0; ++r)
                if (Value(r, d_->rowidField) == rowid)
                    row = r;
        current_ = row >= 0 ? row : std::clamp(oldRow, 0, int(d_->view.size()) - 1);
        d_->bof = d_->eof = false;
    }
    EnableControls();
    if (AfterRefresh)
        AfterRefresh(*this);
}

void DataSet::calculateRow(int physicalRow)
{
    if (!OnCalcFields)
        return;
    const DataSetState saved = state_;
    state_ = DataSetState::CalcFields;
    d_->calcRow = physicalRow;
    try {
        OnCalcFields(*this);
    } catch (...) {
        state_ = saved;
        d_->calcRow = -1;
        throw;
    }
    state_ = saved;
    d_->calcRow = -1;
}

// ---- filter ----------------------------------------------------------------

void DataSet::SetFilter(const QString& filter)
{
    checkBrowseMode();
    filter_ = filter;
    d_->filter = DataSetFilter::parse(filter);
    if (Active() && filtered_)
        resetView();
}

void DataSet::SetFiltered(bool on)
{
    checkBrowseMode();
    if (on)
        d_->filter = DataSetFilter::parse(filter_);
    filtered_ = on;
    if (Active())
        resetView();
}

void DataSet::rebuildView()
{
    d_->view.clear();
    const int n = d_->store.rowCount();
    d_->view.reserve(size_t(n));
    const bool apply = filtered_ && !d_->filter.empty();
    const int field = apply ? FieldIndex(d_->filter.fieldName()) : -1;
    if (apply && field < 0)
        throw DbError(Name + QStringLiteral(": Field '") + d_->filter.fieldName() +
                      QStringLiteral("' not found"));
    for (int r = 0; r < n; ++r)
        if (!apply || d_->filter.accepts(d_->store.value(r, field), fields_[size_t(field)]->DataType()))
            d_->view.push_back(r);
}

void DataSet::resetView()
{
    rebuildView();
    current_ = d_->view.empty() ? -1 : 0;
    d_->bof = true;
    d_->eof = d_->view.empty();
    notifyAll(d_->observers, ControlsDisabled(), [&](DataSetObserver* o) {
        o->dataSetReset(*this);
        o->currentRowChanged(*this, current_);
    });
    if (AfterScroll)
        AfterScroll(*this);
}

// ---- navigation ------------------------------------------------------------

int DataSet::RecordCount() const
{
    return int(d_->view.size());
}
bool DataSet::Eof() const
{
    return !Active() || d_->eof;
}
bool DataSet::Bof() const
{
    return !Active() || d_->bof;
}

void DataSet::moveTo(int row)
{
    if (row == current_)
        return;
    current_ = row;
    notifyAll(d_->observers, ControlsDisabled(),
              [&](DataSetObserver* o) { o->currentRowChanged(*this, current_); });
    if (AfterScroll)
        AfterScroll(*this);
}

void DataSet::checkActive() const
{
    if (!Active())
        throw DbError(Name + QStringLiteral(": Cannot perform this operation on a closed dataset"));
}

void DataSet::checkBrowseMode()
{
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert) {
        if (modified_)
            Post();
        else
            Cancel();
    }
}

void DataSet::First()
{
    checkActive();
    checkBrowseMode();
    moveTo(d_->view.empty() ? -1 : 0);
    d_->bof = true;
    d_->eof = d_->view.empty();
}

void DataSet::Last()
{
    checkActive();
    checkBrowseMode();
    moveTo(int(d_->view.size()) - 1);
    d_->eof = true;
    d_->bof = d_->view.empty();
}

void DataSet::Next()
{
    checkActive();
    checkBrowseMode();
    if (current_ + 1 < int(d_->view.size())) {
        moveTo(current_ + 1);
        d_->bof = false;
        d_->eof = false;
    } else {
        d_->eof = true;
    }
}

void DataSet::Prior()
{
    checkActive();
    checkBrowseMode();
    if (current_ > 0) {
        moveTo(current_ - 1);
        d_->bof = false;
        d_->eof = false;
    } else {
        d_->bof = true;
    }
}

void DataSet::SetRecNo(int recNo)
{
    checkActive();
    checkBrowseMode();
    if (recNo < 1 || recNo > int(d_->view.size()))
        return;
    moveTo(recNo - 1);
    d_->bof = d_->eof = false;
}

DataSet::Bookmark DataSet::GetBookmark() const
{
    if (!Active() || current_ < 0)
        return 0;
    return d_->store.serial(d_->physical(current_));
}

bool DataSet::BookmarkValid(Bookmark b) const
{
    if (!Active() || b == 0)
        return false;
    const int p = d_->store.rowOfSerial(b);
    return p >= 0 && std::find(d_->view.begin(), d_->view.end(), p) != d_->view.end();
}

void DataSet::GotoBookmark(Bookmark b)
{
    checkActive();
    checkBrowseMode();
    const int p = b == 0 ? -1 : d_->store.rowOfSerial(b);
    const auto it = p < 0 ? d_->view.end() : std::find(d_->view.begin(), d_->view.end(), p);
    if (it == d_->view.end())
        throw DbError(Name + QStringLiteral(": Record not found"));
    moveTo(int(it - d_->view.begin()));
    d_->bof = d_->eof = false;
}

bool DataSet::Locate(const QString& fieldNames, const QVariantList& values)
{
    checkActive();
    checkBrowseMode();
    const QStringList names = fieldNames.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (names.size() != values.size())
        throw DbError(Name + QStringLiteral(": Locate needs one value per field"));
    std::vector<int> fields;
    for (const QString& n : names)
        fields.push_back(FieldByName(n.trimmed())->Index());
    for (int r = 0; r < int(d_->view.size()); ++r) {
        bool all = true;
        for (size_t i = 0; i < fields.size() && all; ++i)
            all = DataSetFilter::equalForLocate(Value(r, fields[i]), values[int(i)],
                                                fields_[size_t(fields[i])]->DataType());
        if (all) {
            moveTo(r);
            d_->bof = d_->eof = false;
            return true;
        }
    }
    return false;
}

// ---- fields and values -------------------------------------------------------

int DataSet::FieldIndex(const QString& name) const
{
    for (size_t i = 0; i < fields_.size(); ++i)
        if (fields_[i]->FieldName().compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    if (!Active())
        for (auto& f : d_->definedFields)
            if (f->FieldName().compare(name, Qt::CaseInsensitive) == 0)
                return f->Index();
    return -1;
}

TField* DataSet::FindField(const QString& name) const
{
    const int i = FieldIndex(name);
    if (i < 0)
        return nullptr;
    if (size_t(i) < fields_.size())
        return fields_[size_t(i)];
    return d_->definedFields[size_t(i)].get();
}

TField* DataSet::FieldByName(const QString& name) const
{
    TField* f = FindField(name);
    if (!f)
        throw DbError(Name + QStringLiteral(": Field '") + name + QStringLiteral("' not found"));
    return f;
}

QVariant DataSet::Value(int row, int field) const
{
    if (!Active() || row < 0 || row >= int(d_->view.size()) || field < 0 || field >= FieldCount())
        return {};
    if (row == current_ && (state_ == DataSetState::Edit || state_ == DataSetState::Insert))
        return d_->buffer[size_t(field)];
    return d_->store.value(d_->physical(row), field);
}

bool DataSet::storedAs(int row, int field, FieldType type, FieldType other) const
{
    if (!Active() || row < 0 || row >= int(d_->view.size()) || field < 0 || field >= FieldCount())
        return false;
    if (row == current_ && (state_ == DataSetState::Edit || state_ == DataSetState::Insert))
        return false;
    const FieldType stored = d_->store.columnType(field);
    return stored == type || stored == other;
}

double DataSet::NumberValue(int row, int field, bool* null) const
{
    if (storedAs(row, field, FieldType::Integer, FieldType::Float)) {
        const double v = d_->store.number(d_->physical(row), field);
        if (null)
            *null = std::isnan(v);
        return std::isnan(v) ? 0.0 : v;
    }
    const QVariant value = Value(row, field);
    if (null)
        *null = value.isNull();
    return value.toDouble();
}

QDate DataSet::DateValue(int row, int field) const
{
    if (storedAs(row, field, FieldType::Date, FieldType::Date))
        return d_->store.day(d_->physical(row), field);
    const QVariant v = Value(row, field);
    if (v.isNull())
        return {};
    if (v.typeId() == QMetaType::QDate)
        return v.toDate();
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().date();
    return QDate::fromString(v.toString().left(10), Qt::ISODate);
}

QString DataSet::TextValue(int row, int field) const
{
    if (storedAs(row, field, FieldType::String, FieldType::String))
        return d_->store.text(d_->physical(row), field);
    return Value(row, field).toString();
}

QString DataSet::DisplayText(int row, int field) const
{
    if (field < 0 || field >= FieldCount())
        return {};
    return displayTextOf(fields_[size_t(field)]->def(), Value(row, field));
}

QVariant DataSet::currentValue(int field) const
{
    if (!Active() || field < 0 || field >= FieldCount())
        return {};
    if (state_ == DataSetState::CalcFields)
        return d_->store.value(d_->calcRow, field);
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert)
        return d_->buffer[size_t(field)];
    if (current_ < 0)
        return {};
    return d_->store.value(d_->physical(current_), field);
}

void DataSet::setCurrentValue(int field, const QVariant& v)
{
    checkActive();
    const TField* f = fields_[size_t(field)];
    const QVariant value = coerceToFieldType(v, f->DataType());
    if (state_ == DataSetState::CalcFields && f->Calculated()) {
        d_->store.setValue(d_->calcRow, field, value);
        return;
    }
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert)
        throw DbError(Name + QStringLiteral(": Dataset not in edit or insert mode"));
    d_->buffer[size_t(field)] = value;
    modified_ = true;
    notifyAll(d_->observers, ControlsDisabled(), [&](DataSetObserver* o) { o->rowChanged(*this, current_); });
}

} // namespace rek2
