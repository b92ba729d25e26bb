#pragma once
// The inside of DataSet, shared by its source files only.
#include "db/dataset.h"
#include "db/dataset_filter.h"
#include "db/row_store.h"

#include <memory>
#include <vector>

namespace rek2 {

struct DataSet::Impl
{
    RowStore store;
    std::vector<int> view; // physical rows, in order, that pass the filter
    std::vector<std::unique_ptr<TField>> autoFields;
    std::vector<std::unique_ptr<TField>> definedFields;
    std::vector<QVariant> buffer;   // edit / insert buffer, by field
    std::vector<QVariant> original; // the row as read, when editing began
    int calcRow = -1;               // physical row while OnCalcFields runs
    int rowidField = -1;
    bool eof = true;
    bool bof = true;
    std::vector<DataSetObserver*> observers;
    DataSetFilter filter;

    int physical(int viewRow) const { return view[size_t(viewRow)]; }
};

template <typename F> void notifyAll(const std::vector<DataSetObserver*>& observers, bool disabled, F f)
{
    if (disabled)
        return;
    const std::vector<DataSetObserver*> copy = observers; // an observer may remove itself
    for (DataSetObserver* o : copy)
        f(o);
}

} // namespace rek2
