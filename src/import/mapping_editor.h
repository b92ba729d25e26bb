#pragma once
#include "db/dataset.h"

#include <QString>

namespace rek2 {
class Session;
}

namespace rek2::importxls {

// The import column mapping as the parameters tab edits it: the dataset
// odsParametri over REK2_IMPORT_PARAMS, reopened each time the tab is shown.
// The first typing puts the row in edit mode, or starts a row when the
// table is empty; saving checks the column letters and posts the row.
class MappingEditor
{
public:
    MappingEditor();

    void open(Session* session); // closes and reopens; throws DbError
    bool isOpen() const { return ods_.Active(); }

    // The shown value of a column of mappingColumns() (empty without a row).
    QString value(const QString& column) const;
    // Typing in the field of `column`.
    void setValue(const QString& column, const QString& text);
    bool pending() const;

    // bShraniXLSParamsClick: without pending changes nothing happens and
    // true is returned. A wrong value keeps the row unsaved and pending:
    // false with `message` naming the field. DbError on a database error.
    bool save(QString& message);

    DataSet& dataset() { return ods_; }

private:
    void startEditing();
    DataSet ods_{QStringLiteral("odsParametri")};
};

} // namespace rek2::importxls
