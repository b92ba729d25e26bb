#include "db/sqlite/working_statements_sqlite.h"

namespace rek2::sqlite {

QStringList analyticWorkingStatement(std::optional<int> idZbir)
{
    QStringList sql;
    sql << QStringLiteral("select A.*, NULL as Stopnja, A.ROWID AS ROWID FROM REK2_ANAL A");
    sql << QStringLiteral(
        " WHERE ((A.DATUM_IZP_DIV>=:DatumOd AND A.DATUM_IZP_DIV<=:DatumDo AND ((A.DATUM_PLC_DVK IS NULL OR "
        "(A.DATUM_IZP_DIV=A.DATUM_PLC_DVK)))) OR (A.DATUM_PLC_DVK>=:DatumOd AND A.DATUM_PLC_DVK<=:DatumDo))");
    // A row not yet written, or without events: each looked up by the row's
    // identifier instead of listing every unwritten event's row first.
    sql << QStringLiteral(
        " AND (EXISTS(select 1 FROM REK2_DOG G where G.ID_REK2_ANAL=A.ID_REK2_ANAL AND G.XML_FILE is null) "
        "OR "
        "NOT EXISTS(select ID_REK2_ANAL FROM REK2_DOG where ID_REK2_ANAL=A.ID_REK2_ANAL)) ");
    if (idZbir)
        sql << QStringLiteral(" AND A.ID_REK2_ZBIR=") + QString::number(*idZbir);
    return sql;
}

std::vector<LookupColumn> analyticWorkingLookups()
{
    // The rate of a row's coupon on its payout day, as the Oracle text
    // computes it per row (a second rate row or coupon row is the same
    // error there); a row without a coupon or day finds none.
    return {
        {QStringLiteral("Stopnja"),
         {QStringLiteral("SFKPN"), QStringLiteral("DATUM_IZP_DIV")},
         QStringLiteral(
             "SELECT (SELECT rek2_single(D.STOPNJA) FROM DVK_STP D WHERE D.DAN = (SELECT MAX(DAN) FROM "
             "DVK_STP WHERE DAN <= ?2 AND TIP = D.TIP AND SFDRZ = D.SFDRZ) AND D.TIP = (SELECT "
             "rek2_single(K.SFOBR) FROM KPN K JOIN SFVP S ON S.SFVP = K.SFVP JOIN OSB O ON O.SFOSB = "
             "S.SFOSBIZD WHERE K.SFKPN = ?1) AND D.SFDRZ = (SELECT NVL(O.SFDRZDVK, O.SFDRZ) FROM KPN K JOIN "
             "SFVP S ON S.SFVP = K.SFVP JOIN OSB O ON O.SFOSB = S.SFOSBIZD WHERE K.SFKPN = ?1))")}};
}

std::vector<OrderKey> analyticWorkingOrder()
{
    return {{QStringLiteral("SIF_VRSTE_DOH"), true},
            {QStringLiteral("DATUM_IZP_DIV"), true},
            {QStringLiteral("DATUM_PLC_DVK"), true},
            {QStringLiteral("ID_REK2_ANAL"), false}};
}

} // namespace rek2::sqlite
