#pragma once
#include "db/field.h"

#include <QString>
#include <QVariant>
#include <optional>

namespace rek2 {

// Text typed into a record editor turned into a field value: amounts in the
// Slovenian form ("1.234,56") or the plain one ("1234.56"), dates as
// dd.MM.yyyy, whole numbers. Empty text is null. nullopt when the text is not
// a value of the field's type.
std::optional<QVariant> typedValue(const QString& text, FieldType type);

// The text an editor shows for a field value (the inverse of typedValue).
QString editorText(const QVariant& value, FieldType type);

// "Vrednost "x" ni pravilna za polje "Bruto znesek"!"
QString badValueMessage(const QString& text, const QString& displayLabel);

} // namespace rek2
