#pragma once
#include <QHash>
#include <QString>
#include <vector>

namespace rek2 {
class Session;
}

namespace rek2::importxls {

// One column of REK2_IMPORT_PARAMS with the caption of its edit field, in
// the panel's order (START_PODATKOV first, the row number).
struct MappingColumn
{
    QString column;
    QString caption;
};
const std::vector<MappingColumn>& mappingColumns();

// The saved mapping: the first data row and one column name per datum.
struct ImportMapping
{
    int start = 0;
    QHash<QString, QString> letters; // column of REK2_IMPORT_PARAMS -> its letters

    int column(const QString& name) const;
    bool filled(const QString& name) const { return !letters.value(name).isEmpty(); }
};

// Reads the first row of REK2_IMPORT_PARAMS (odsXLSImport_Params). Throws
// ImportError when there is none or it has no usable first row or date
// column; DbError on a database error.
ImportMapping loadImportMapping(Session& session);

// The check of the panel's values before they are saved. `values` maps the
// columns of mappingColumns() to the typed texts; letters are made upper
// case in place. Returns the message naming the first wrong field, or empty.
QString checkMappingValues(QHash<QString, QString>& values);

} // namespace rek2::importxls
