#pragma once
#include "gridexport/export_table.h"

#include <QByteArray>
#include <functional>

namespace rek2 {

// The writers behind exportDataSet, each writing the whole table to `path`
// (a temporary name the caller renames). `step` is called once per row and
// may throw to stop. Errors throw ExportError.
void writeDbf(const DataSet& ds, const QVector<GridColumn>& columns, const QString& path, int rows,
              const std::function<void()>& step);
void writeParadox(const DataSet& ds, const QVector<GridColumn>& columns, const QString& path,
                  const QString& tableName, int rows, const std::function<void()>& step);
void writeFixedText(const DataSet& ds, const QVector<GridColumn>& columns, const QString& path,
                    const QString& schemaPath, int rows, const std::function<void()>& step);

// Shared helpers.
int decimalsOfFormat(const QString& format, int fallback);
QByteArray toCp1250Lossy(const QString& text);
// Gives text columns without a declared size the width of their longest value, within 1..maxWidth.
void fitTextWidths(const DataSet& ds, QVector<ExportField>& fields, int maxWidth);

} // namespace rek2
