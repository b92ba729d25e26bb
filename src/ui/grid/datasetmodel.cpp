#include "ui/grid/datasetmodel.h"
#include "db/dataset.h"

namespace rek2 {

DataSetModel::DataSetModel(QObject* parent) : QAbstractTableModel(parent) {}

DataSetModel::~DataSetModel()
{
    if (ds_)
        ds_->removeObserver(this);
}

void DataSetModel::setDataSet(DataSet* ds)
{
    if (ds == ds_)
        return;
    beginResetModel();
    if (ds_)
        ds_->removeObserver(this);
    ds_ = ds;
    if (ds_)
        ds_->addObserver(this);
    rebuildColumns();
    endResetModel();
    emit modelRebuilt();
}

void DataSetModel::dataSetDestroyed(DataSet& ds)
{
    if (&ds != ds_)
        return;
    beginResetModel();
    ds_ = nullptr;
    columns_.clear();
    rows_ = 0;
    endResetModel();
    emit modelRebuilt();
}

void DataSetModel::rebuildColumns()
{
    columns_.clear();
    rows_ = 0;
    if (!ds_ || !ds_->Active())
        return;
    if (explicitOrder_) {
        for (const QString& name : order_) {
            const int i = ds_->FieldIndex(name);
            if (i >= 0 && !columns_.contains(i))
                columns_ << i;
        }
    } else {
        for (int i = 0; i < ds_->FieldCount(); ++i)
            if (ds_->Fields(i)->Visible())
                columns_ << i;
    }
    rows_ = ds_->RecordCount();
}

void DataSetModel::setColumnOrder(const QStringList& fieldNames, bool explicitList)
{
    beginResetModel();
    order_ = fieldNames;
    explicitOrder_ = explicitList || !fieldNames.isEmpty();
    rebuildColumns();
    endResetModel();
    emit modelRebuilt();
}

void DataSetModel::refreshHeaders()
{
    if (!columns_.isEmpty())
        emit headerDataChanged(Qt::Horizontal, 0, int(columns_.size()) - 1);
}

int DataSetModel::fieldOfColumn(int column) const
{
    return column >= 0 && column < columns_.size() ? columns_[column] : -1;
}

int DataSetModel::columnOfField(int field) const
{
    return int(columns_.indexOf(field));
}

int DataSetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows_;
}

int DataSetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant DataSetModel::data(const QModelIndex& index, int role) const
{
    if (!ds_ || !index.isValid() || index.row() >= rows_)
        return QVariant();
    // A dataset being reopened while the engine works (the window repaints
    // then) may have fewer fields than the columns the view still shows.
    const int field = fieldOfColumn(index.column());
    if (field < 0 || field >= ds_->FieldCount())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return ds_->DisplayText(index.row(), field);
    case Qt::TextAlignmentRole: {
        const FieldType t = ds_->Fields(field)->DataType();
        if (t == FieldType::Integer || t == FieldType::Float)
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    }
    default:
        return QVariant();
    }
}

QVariant DataSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || !ds_)
        return QVariant();
    const int field = fieldOfColumn(section);
    if (field < 0 || field >= ds_->FieldCount())
        return QVariant();
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return ds_->Fields(field)->DisplayLabel();
    return QVariant();
}

void DataSetModel::dataSetReset(DataSet&)
{
    beginResetModel();
    rebuildColumns();
    endResetModel();
    emit modelRebuilt();
}

void DataSetModel::currentRowChanged(DataSet&, int row)
{
    emit dataSetRowChanged(row);
}

void DataSetModel::rowChanged(DataSet&, int row)
{
    if (row >= 0 && row < rows_ && !columns_.isEmpty())
        emit dataChanged(index(row, 0), index(row, int(columns_.size()) - 1));
}

void DataSetModel::rowInserted(DataSet&, int row)
{
    // The dataset already holds the row; tell the view in one step.
    row = std::clamp(row, 0, rows_);
    beginInsertRows(QModelIndex(), row, row);
    ++rows_;
    endInsertRows();
}

void DataSetModel::rowRemoved(DataSet&, int row)
{
    if (row < 0 || row >= rows_)
        return;
    beginRemoveRows(QModelIndex(), row, row);
    --rows_;
    endRemoveRows();
}

} // namespace rek2
