#pragma once
#include <QByteArrayView>
#include <QVariant>

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
    // next()); false otherwise.
    virtual bool utf8(int /*col*/, QByteArrayView& /*out*/) const { return false; }
    // The value when the engine holds it as a number; false otherwise.
    virtual bool number(int /*col*/, double& /*out*/) const { return false; }
};

} // namespace rek2
