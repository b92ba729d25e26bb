#pragma once
#include "db/dataset_observer.h"

#include <QAbstractTableModel>
#include <QVector>

namespace rek2 {

class DataSet;

// A table model over a dataset that copies nothing: row count, captions and
// cell texts are asked of the dataset when the view paints them. Columns are
// the dataset's visible fields in their order.
class DataSetModel : public QAbstractTableModel, public DataSetObserver
{
    Q_OBJECT
public:
    explicit DataSetModel(QObject* parent = nullptr);
    ~DataSetModel() override;

    void setDataSet(DataSet* ds);
    DataSet* dataSet() const { return ds_; }

    // The columns' fields by name, in display order. Empty (and not
    // `explicitList`) means every visible field in the dataset's order; names
    // the dataset lacks are skipped. Kept across Close/Open of the dataset.
    void setColumnOrder(const QStringList& fieldNames, bool explicitList);
    const QStringList& columnOrder() const { return order_; }
    bool hasColumnOrder() const { return explicitOrder_; }
    // Captions changed in the field definitions: the view repaints its titles.
    void refreshHeaders();

    // Field index of a column, -1 when out of range.
    int fieldOfColumn(int column) const;
    int columnOfField(int field) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // DataSetObserver
    void dataSetReset(DataSet& ds) override;
    void currentRowChanged(DataSet& ds, int row) override;
    void rowChanged(DataSet& ds, int row) override;
    void rowInserted(DataSet& ds, int row) override;
    void rowRemoved(DataSet& ds, int row) override;
    void dataSetDestroyed(DataSet& ds) override;

signals:
    // The dataset moved to another row (-1 = none).
    void dataSetRowChanged(int row);
    // Columns or rows were rebuilt from scratch.
    void modelRebuilt();

private:
    void rebuildColumns();

    DataSet* ds_ = nullptr;
    QVector<int> columns_; // field index per column
    int rows_ = 0;         // what the view was last told
    QStringList order_;
    bool explicitOrder_ = false;
};

} // namespace rek2
