#include "db/sqlite/working_statements_sqlite.h"

namespace rek2::sqlite {

QStringList analyticWorkingStatement(std::optional<int> idZbir)
{
    const QString period = QStringLiteral(
        "((A.DATUM_IZP_DIV>=:DatumOd AND A.DATUM_IZP_DIV<=:DatumDo AND ((A.DATUM_PLC_DVK IS NULL OR "
        "(A.DATUM_IZP_DIV=A.DATUM_PLC_DVK)))) OR (A.DATUM_PLC_DVK>=:DatumOd AND A.DATUM_PLC_DVK<=:DatumDo))");
    QStringList sql;
    // The coupons and payout days of the period, and the rate of each pair,
    // computed as the Oracle text does per row (a second rate row or coupon
    // row is the same error there).
    sql << QStringLiteral("WITH Q AS MATERIALIZED (SELECT DISTINCT A.SFKPN, A.DATUM_IZP_DIV FROM REK2_ANAL A "
                          "WHERE ") +
               period + QStringLiteral("),");
    sql << QStringLiteral(
        "T AS MATERIALIZED (SELECT Q.SFKPN, Q.DATUM_IZP_DIV, (SELECT rek2_single(D.STOPNJA) FROM DVK_STP D "
        "WHERE D.DAN = (SELECT MAX(DAN) FROM DVK_STP WHERE DAN <= Q.DATUM_IZP_DIV AND TIP = D.TIP AND SFDRZ "
        "= D.SFDRZ) AND D.TIP = (SELECT rek2_single(K.SFOBR) FROM KPN K JOIN SFVP S ON S.SFVP = K.SFVP JOIN "
        "OSB O ON O.SFOSB = S.SFOSBIZD WHERE K.SFKPN = Q.SFKPN) AND D.SFDRZ = (SELECT NVL(O.SFDRZDVK, "
        "O.SFDRZ) FROM KPN K JOIN SFVP S ON S.SFVP = K.SFVP JOIN OSB O ON O.SFOSB = S.SFOSBIZD WHERE K.SFKPN "
        "= Q.SFKPN)) AS STOPNJA FROM Q)");
    // The rate is a scalar look-up rather than a join, so that the rows are
    // read by one loop that needs the period's test only in the index
    // searches; T has one row per coupon and day (a coupon-less row finds
    // none, as it matched none in the join).
    sql << QStringLiteral(
        "select A.*, (SELECT T.STOPNJA FROM T WHERE T.SFKPN = A.SFKPN AND T.DATUM_IZP_DIV = "
        "A.DATUM_IZP_DIV) as Stopnja, A.ROWID AS ROWID FROM REK2_ANAL A");
    sql << QStringLiteral(" WHERE ") + period;
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

std::vector<OrderKey> analyticWorkingOrder()
{
    return {{QStringLiteral("SIF_VRSTE_DOH"), true},
            {QStringLiteral("DATUM_IZP_DIV"), true},
            {QStringLiteral("DATUM_PLC_DVK"), true},
            {QStringLiteral("ID_REK2_ANAL"), false}};
}

} // namespace rek2::sqlite
