#pragma once
#include "db/field.h"

#include <QString>
#include <QVariant>

namespace rek2 {

// The client filter of a dataset: one comparison of a field with a value,
// "ID_REK2_ANAL = 0", "STATUS <> 'O'", "DVS = NULL".
class DataSetFilter
{
public:
    // Empty text gives an empty filter; bad text throws DbError.
    static DataSetFilter parse(const QString& text);

    bool empty() const { return field_.isEmpty(); }
    const QString& fieldName() const { return field_; }
    bool accepts(const QVariant& v, FieldType type) const;

    // Locate's test: case-insensitive, whole values, numbers by value.
    static bool equalForLocate(const QVariant& v, const QVariant& wanted, FieldType type);

private:
    QString field_;
    QString op_;
    QVariant value_; // null for NULL
};

} // namespace rek2
