#pragma once

namespace rek2 {

class DataSet;

// Lets a view (a table model over the dataset) follow it without copying rows.
// Row numbers are 0-based positions among the visible (filtered) rows. While
// controls are disabled nothing is reported; EnableControls then reports one
// reset and the current row.
class DataSetObserver
{
public:
    virtual ~DataSetObserver() = default;
    // Opened, closed, refreshed, filter changed, or controls enabled again:
    // everything may have changed.
    virtual void dataSetReset(DataSet& /*ds*/) {}
    virtual void currentRowChanged(DataSet& /*ds*/, int /*row*/) {} // -1 = none
    virtual void rowChanged(DataSet& /*ds*/, int /*row*/) {}
    virtual void rowInserted(DataSet& /*ds*/, int /*row*/) {}
    virtual void rowRemoved(DataSet& /*ds*/, int /*row*/) {}
    // Browse / Edit / Insert changed.
    virtual void stateChanged(DataSet& /*ds*/) {}
    // The dataset is being destroyed while still observed (a window may close
    // a dataset that a grid or an open dialog follows): forget it, and call
    // nothing on it, not even removeObserver, from now on.
    virtual void dataSetDestroyed(DataSet& /*ds*/) {}
};

} // namespace rek2
