#include "returns/working_statements.h"

#include "db/dataset.h"
#include "db/postgres/working_statements_postgres.h"
#include "db/sqlite/working_statements_sqlite.h"

namespace rek2 {

QString joinIds(const QList<int>& ids)
{
    QStringList parts;
    parts.reserve(ids.size());
    for (int id : ids)
        parts << QString::number(id);
    return parts.join(QStringLiteral(", "));
}

QStringList analyticWorkingStatement(std::optional<int> idZbir)
{
    QStringList sql;
    sql << QStringLiteral(" select A.*, (SELECT D.STOPNJA FROM DVK_STP D ")
        << QStringLiteral(
               " WHERE D.DAN = (SELECT MAX(DAN) FROM DVK_STP WHERE DAN <= A.DATUM_IZP_DIV AND TIP = D.Tip "
               "AND SFDRZ = D.SfDrz) ")
        << QStringLiteral(
               " AND D.TIP = (SELECT K.SfObr FROM KPN K JOIN SFVP S ON S.SfVp = K.SfVp JOIN OSB O ON "
               "O.SfOsb = S.SfOsbIzd WHERE K.SfKpn = A.SfKpn) ")
        << QStringLiteral(
               " AND SFDRZ = (SELECT NVL(O.SfDrzDvk, O.SfDrz) FROM KPN K JOIN SFVP S ON S.SfVp = K.SfVp "
               "JOIN OSB O ON O.SfOsb = S.SfOsbIzd WHERE K.SfKpn = A.SfKpn)) as Stopnja, A.ROWID FROM "
               "REK2_ANAL A ")
        << QStringLiteral(
               " WHERE ((DATUM_IZP_DIV>=:DatumOd AND DATUM_IZP_DIV<=:DatumDo AND ((DATUM_PLC_DVK IS NULL OR "
               "(DATUM_IZP_DIV=DATUM_PLC_DVK)))) ")
        << QStringLiteral(" OR (DATUM_PLC_DVK>=:DatumOd AND DATUM_PLC_DVK<=:DatumDo)) ")
        << QStringLiteral(
               " AND ((ID_REK2_ANAL IN (select ID_REK2_ANAL FROM REK2_dog where XML_FILE is null)) OR NOT "
               "EXISTS(select ID_REK2_ANAL FROM REK2_dog where ID_REK2_ANAL=A.ID_REK2_ANAL)) ");
    if (idZbir)
        sql << QStringLiteral(" AND ID_REK2_ZBIR=") + QString::number(*idZbir);
    sql << QStringLiteral(" ORDER BY SIF_VRSTE_DOH, DATUM_IZP_DIV, DATUM_PLC_DVK ");
    return sql;
}

QStringList summarySelectionStatement()
{
    return {QStringLiteral(" select Z.*, Z.ROWID FROM REK2_Zbir Z ")};
}

QStringList summarySelectionStatement(const QString& idList)
{
    QStringList sql = summarySelectionStatement();
    sql << QStringLiteral(" where Z.ID_REK2_Zbir IN (") + idList + QStringLiteral(") ")
        << QStringLiteral(" ORDER BY SIF_VRSTE_DOH, DATUM_IZP, DATUM_PLC_DVK ");
    return sql;
}

void openAnalyticWorking(DataSet& ds, const QDate& datumOd, const QDate& datumDo, std::optional<int> idZbir)
{
    ds.Close();
    ds.SQL = analyticWorkingStatement(idZbir);
    ds.SetEngineSQL(sqlite::kWorkingEngine, sqlite::analyticWorkingStatement(idZbir),
                    sqlite::analyticWorkingOrder(), sqlite::analyticWorkingLookups());
    ds.SetEngineOracleSQL(postgres::kWorkingEngine, postgres::analyticWorkingStatement(ds.SQL));
    ds.DeclareVariable(QStringLiteral("DATUMOD"), VarType::Date);
    ds.DeclareVariable(QStringLiteral("DATUMDO"), VarType::Date);
    ds.SetVariable(QStringLiteral("DatumOd"), datumOd);
    ds.SetVariable(QStringLiteral("DatumDo"), datumDo);
    ds.Open();
}

bool openSummarySelection(DataSet& ds, const QString& idList)
{
    ds.Close();
    // An empty IN list is a syntax error on every engine: the view stays empty.
    if (idList.trimmed().isEmpty())
        return false;
    ds.SQL = summarySelectionStatement(idList);
    ds.Open();
    return true;
}

void openSummarySelectionAll(DataSet& ds)
{
    ds.Close();
    ds.SQL = summarySelectionStatement();
    ds.Open();
}

} // namespace rek2
