#include "import/import_mapping.h"

#include "db/dataset.h"
#include "db/field.h"
#include "import/column_letters.h"
#include "import/workbook.h"

namespace rek2::importxls {

const std::vector<MappingColumn>& mappingColumns()
{
    static const std::vector<MappingColumn> columns = {
        {QStringLiteral("START_PODATKOV"), QStringLiteral("Start podatkov")},
        {QStringLiteral("KOLONA_010"), QStringLiteral("Vrsta dohodka")},
        {QStringLiteral("KOLONA_012"), QStringLiteral("Datum izplačila")},
        {QStringLiteral("KOLONA_012A"), QStringLiteral("Datum plačila davkov")},
        {QStringLiteral("KOLONA_A001"), QStringLiteral("Davčna številka")},
        {QStringLiteral("KOLONA_A002"), QStringLiteral("Ident. številka")},
        {QStringLiteral("KOLONA_A003"), QStringLiteral("Priimek in ime")},
        {QStringLiteral("KOLONA_A003I"), QStringLiteral("Ime")},
        {QStringLiteral("KOLONA_A003P"), QStringLiteral("Priimek")},
        {QStringLiteral("KOLONA_A004"), QStringLiteral("Rezidentstvo")},
        {QStringLiteral("KOLONA_A004A"), QStringLiteral("Država")},
        {QStringLiteral("KOLONA_A005"), QStringLiteral("Uveljavljanje ugodnosti")},
        {QStringLiteral("KOLONA_A051"), QStringLiteral("Oznaka vrste dohodka")},
        {QStringLiteral("KOLONA_A052"), QStringLiteral("Bruto znesek")},
        {QStringLiteral("KOLONA_A091O"), QStringLiteral("Obračunani davčni odtegljaj")},
        {QStringLiteral("KOLONA_A091P"), QStringLiteral("Plačani davčni odtegljaj")},
        {QStringLiteral("KOLONA_A092O"), QStringLiteral("Odbitek tujega davka")},
        {QStringLiteral("SFKPN"), QStringLiteral("Kupon")},
        {QStringLiteral("SFVP"), QStringLiteral("VP")},
    };
    return columns;
}

int ImportMapping::column(const QString& name) const
{
    return columnNumber(letters.value(name));
}

ImportMapping loadImportMapping(Session& session)
{
    DataSet params(QStringLiteral("odsXLSImport_Params"));
    params.SetSession(&session);
    params.SQL = QStringList{QStringLiteral("SELECT * FROM REK2_IMPORT_PARAMS")};
    params.Open();
    if (params.IsEmpty())
        throw ImportError(QStringLiteral("Parametri za import niso vpisani (zavihek \"Parametri\")."));
    params.First();
    ImportMapping m;
    const QVariant start = params.FieldByName(QStringLiteral("START_PODATKOV"))->AsVariant();
    m.start = start.isNull() ? 0 : start.toInt();
    for (const MappingColumn& c : mappingColumns())
        if (c.column != QLatin1String("START_PODATKOV"))
            m.letters.insert(c.column, params.FieldByName(c.column)->AsString());
    params.Close();
    if (m.start < 1)
        throw ImportError(QStringLiteral("Parameter \"Start podatkov\" za import mora biti številka vrstice, "
                                         "večja od 0."));
    if (m.column(QStringLiteral("KOLONA_012")) < 1)
        throw ImportError(QStringLiteral("Parameter \"Datum izplačila\" za import nima stolpca."));
    return m;
}

QString checkMappingValues(QHash<QString, QString>& values)
{
    for (const MappingColumn& c : mappingColumns()) {
        QString& v = values[c.column];
        if (c.column == QLatin1String("START_PODATKOV")) {
            const QString t = v.trimmed();
            bool ok = t.isEmpty();
            if (!ok) {
                const int n = t.toInt(&ok);
                ok = ok && n >= 1;
            }
            if (!ok)
                return QStringLiteral("\"%1\" mora biti številka vrstice (1 ali več), ne \"%2\".")
                    .arg(c.caption, v);
            v = t;
            continue;
        }
        QString letters;
        if (!normaliseColumnLetters(v, letters))
            return QStringLiteral(
                       "\"%1\": \"%2\" ni stolpec preglednice (ena ali dve črki od A do Z, na primer "
                       "C ali AB).")
                .arg(c.caption, v);
        v = letters;
    }
    return QString();
}

} // namespace rek2::importxls
