#include "import/mapping_editor.h"

#include "db/field.h"
#include "import/import_mapping.h"

namespace rek2::importxls {

MappingEditor::MappingEditor()
{
    ods_.SQL = QStringList{QStringLiteral("select R.* , R.ROWID FROM REK2_IMPORT_PARAMS R")};
    ods_.UpdatingTable = QStringLiteral("REK2_IMPORT_PARAMS");
}

void MappingEditor::open(Session* session)
{
    if (ods_.Active() && pending())
        ods_.Cancel();
    ods_.Close();
    ods_.SetSession(session);
    ods_.Open();
    ods_.First();
}

QString MappingEditor::value(const QString& column) const
{
    if (!ods_.Active() || (ods_.IsEmpty() && ods_.State() != DataSetState::Insert))
        return QString();
    return ods_.FieldByName(column)->AsString();
}

bool MappingEditor::pending() const
{
    return ods_.State() == DataSetState::Edit || ods_.State() == DataSetState::Insert;
}

void MappingEditor::startEditing()
{
    if (pending())
        return;
    if (ods_.IsEmpty())
        ods_.Append();
    else
        ods_.Edit();
}

void MappingEditor::setValue(const QString& column, const QString& text)
{
    if (!ods_.Active())
        return;
    startEditing();
    ods_.FieldByName(column)->SetAsString(text);
}

bool MappingEditor::save(QString& message)
{
    message.clear();
    if (!ods_.Active() || !pending())
        return true;
    QHash<QString, QString> values;
    for (const MappingColumn& c : mappingColumns())
        values.insert(c.column, ods_.FieldByName(c.column)->AsString());
    message = checkMappingValues(values);
    if (!message.isEmpty())
        return false;
    for (const MappingColumn& c : mappingColumns()) {
        TField* f = ods_.FieldByName(c.column);
        const QString v = values.value(c.column);
        if (c.column == QLatin1String("START_PODATKOV"))
            f->SetAsVariant(v.isEmpty() ? QVariant() : QVariant(v.toInt()));
        else
            f->SetAsString(v);
    }
    ods_.Post();
    return true;
}

} // namespace rek2::importxls
