#pragma once
#include "db/row_store.h"

#include <QByteArrayView>
#include <QVariant>
#include <vector>

namespace rek2 {

// Steps through the rows of an executed select, one at a time, as the engine
// hands them out (see Dialect::rowReader).
class RowReader
{
public:
    virtual ~RowReader() = default;
    // Moves to the next row (the first call: the first row); false after the
    // last. Throws DbError with the engine's message.
    virtual bool next() = 0;
    // The value as Qt's driver would hand it out.
    virtual QVariant value(int col) const = 0;
    // The value's UTF-8 bytes when the engine holds it as text (valid until
    // next()), or nothing when it is NULL; false otherwise.
    virtual bool utf8(int /*col*/, QByteArrayView& /*out*/) const { return false; }
    // The value when the engine holds it as a number; false otherwise.
    virtual bool number(int /*col*/, double& /*out*/) const { return false; }
    // Whether the current row comes strictly after the row this was last
    // called on, by `order` as the engine's own ORDER BY compares values (the
    // first call: true). Call it before reading the row's values. False also
    // when the engine cannot tell.
    virtual bool followsInOrder(const std::vector<SortColumn>& /*order*/) { return false; }
};

} // namespace rek2
