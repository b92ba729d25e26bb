#include "collect/sqlite_statements.h"

#include "base/settings.h"
#include "collect/statements.h"

namespace rek2::collect::sqlite {
namespace {

// The withholding event of a payout: the event its 'R' link points to (in
// the gross-dividend variant only an event whose code is in the list). It is
// joined once as W instead of being looked up again for every column.
QString withholdingId(bool bruto)
{
    if (bruto)
        return QStringLiteral(
            "(SELECT DL.IDDOGDETAIL FROM DOGLNK DL, DOG D3 WHERE DL.IDDOGMASTER=D.IDDOG AND "
            "DL.SFLNK='R' AND DL.IDDOGDETAIL=D3.IDDOG AND D3.SFDOG IN (%SfDogDvcOdt%))");
    return QStringLiteral(
        "(SELECT DL.IDDOGDETAIL FROM DOGLNK DL WHERE DL.IDDOGMASTER=D.IDDOG AND DL.SFLNK='R')");
}

QString hasWithholding(bool bruto)
{
    if (bruto)
        return QStringLiteral(
            "EXISTS(SELECT 1 FROM DOGLNK DL, DOG D3 WHERE DL.IDDOGMASTER=D.IDDOG AND DL.SFLNK='R' "
            "AND DL.IDDOGDETAIL=D3.IDDOG AND D3.SFDOG IN (%SfDogDvcOdt%))");
    return QStringLiteral("EXISTS(SELECT 1 FROM DOGLNK DL WHERE DL.IDDOGMASTER=D.IDDOG AND DL.SFLNK='R')");
}

// Columns of one payout event of one holder (the inner row).
QString innerColumns(bool bruto, bool laterPart)
{
    const QString gross = QStringLiteral(
        "(CASE WHEN D.SFGLVENT='%' THEN (SELECT ((G.OBRVLT+G.REVVLT)*D.LOT)/D.TCJVLT FROM DOG G WHERE "
        "G.IDDOG=D.IDDOGGOT AND G.SFPDG='O') ELSE ((D.LOT*K.OBROBRBRT)/D.TCJVLT) END)");
    const QString rate =
        QStringLiteral("(SELECT S.STOPNJA/100 FROM DVK_STP S WHERE S.SFDRZ='S' AND S.DAN=(SELECT MAX(S2.DAN) "
                       "FROM DVK_STP S2 WHERE "
                       "S2.SFDRZ='S' AND S2.DAN<=D.DAN AND S2.TIP=K.SFOBR) AND S.TIP=K.SFOBR)");
    const QString tax = QStringLiteral(
        "(CASE WHEN W.SFVPGOT = :SfVpGotEUR THEN -W.GOT ELSE ABS(ROUND(W.LOT, 2)/W.TCJVLT) END)");
    QStringList c;
    c << QStringLiteral("O.DVS AS DVS");
    c << (bruto ? QStringLiteral("NULL AS IdentSt") : QStringLiteral("NVL(O.DVSTUJ, O.DVSZDA) AS IdentSt"));
    c << QStringLiteral(
        "IFNULL(O.IME, '')||' '||IFNULL(O.NZV, '') AS OsbNzv, O.IME AS OsbIme, O.NZV AS OsbPriimek");
    c << QStringLiteral(
        "(CASE WHEN NVL(O.SFDRZDVK, O.SFDRZ)='S' THEN 'R' ELSE 'N' END) AS Rezident, R.SFDRZBNK AS "
        "SFDRZBNK");
    if (!bruto) {
        c << QStringLiteral("I.SFDRZ AS SfDrzIzd");
        c << QStringLiteral(
            "(CASE WHEN D.DAVEKRAZPOBR IS NOT NULL AND D.DAVEKRAZP IS NOT NULL AND D.DAVEKRAZPOBR < "
            "D.DAVEKRAZP THEN 'D' ELSE 'N' END) AS ZnizanaStopnja");
    }
    c << QStringLiteral("1 AS ugodMedPog");
    c << QStringLiteral(
        "(CASE WHEN K.SFOBR='D' THEN '5700' WHEN (V.KRT='SOS2E' OR V.KRT='SOS2E_S') THEN '5600' ELSE "
        "'5400' END) AS OznDog");
    c << gross + QStringLiteral(" AS BrutoZnesekDividende");
    c << tax + QStringLiteral(" AS Dav_Odt");
    if (laterPart)
        c << tax + QStringLiteral(" AS Dav_Odt2");
    else
        c << QStringLiteral("(CASE WHEN D.DAN<>W.ZPD THEN 0 ELSE ") + tax +
                 QStringLiteral(" END) AS Dav_Odt2");
    c << gross + QStringLiteral("*") + rate + QStringLiteral(" AS Davek20P");
    c << QStringLiteral("NVL(ABS(W.LOT/W.TCJVLT), 0) AS DavekTuji");
    c << QStringLiteral(
        "(CASE WHEN K.SFOBR='D' THEN '1920' WHEN (V.KRT='SOS2E' OR V.KRT='SOS2E_S') THEN '1902' ELSE "
        "'1901' END) AS VrsDoh");
    c << QStringLiteral("D.DAN AS Dan");
    if (laterPart) {
        c << QStringLiteral("W.ZPD AS DanDavOdt");
        c << QStringLiteral(
            "(SELECT L.STATUS FROM REK2_DOG L WHERE L.DURS_ID_DOK IS NULL AND L.XML_FILE IS NULL AND "
            "L.ID_DOG=D.IDDOG AND L.DAVCNI_ODTEGLJAJ='D' AND D.DAN<>W.ZPD) AS Status");
    } else {
        c << QStringLiteral("(CASE WHEN D.DAN<>W.ZPD THEN NULL ELSE W.ZPD END) AS DanDavOdt");
        c << QStringLiteral(
            "(SELECT L.STATUS FROM REK2_DOG L WHERE L.DURS_ID_DOK IS NULL AND L.XML_FILE IS NULL AND "
            "L.ID_DOG=D.IDDOG AND ((L.DAVCNI_ODTEGLJAJ='N' AND (W.ZPD IS NULL OR D.DAN<>W.ZPD)) OR "
            "(L.DAVCNI_ODTEGLJAJ='D' AND D.DAN=W.ZPD))) AS Status");
    }
    c << QStringLiteral("K.SFKPN AS SFKPN, V.KRT AS SFVP");
    return QStringLiteral("SELECT ") + c.join(QStringLiteral(", "));
}

QString innerFrom(bool bruto)
{
    QString f =
        QStringLiteral(" FROM DOG D LEFT OUTER JOIN KPN K ON D.SFKPN=K.SFKPN LEFT OUTER JOIN SFVP V ON "
                       "D.SFVP=V.SFVP");
    if (!bruto)
        f += QStringLiteral(" LEFT OUTER JOIN OSB I ON I.SFOSB = V.SFOSBIZD");
    f += QStringLiteral(" JOIN POG P ON D.IDPOG=P.IDPOG");
    f += bruto ? QStringLiteral(" JOIN OSB O ON O.SFOSB = P.SFOSB")
               : QStringLiteral(" JOIN OSB O ON O.SFOSB = NVL(D.SFOSBDVK, P.SFOSB)");
    f += QStringLiteral(" LEFT OUTER JOIN DRZ R ON R.SFDRZ = NVL(O.SFDRZDVK, O.SFDRZ)");
    f += QStringLiteral(" LEFT OUTER JOIN DOG W ON W.IDDOG = ") + withholdingId(bruto);
    return f;
}

QString personFilter(bool bruto)
{
    return bruto ? QStringLiteral(" AND O.SFSOS='F'") : QStringLiteral(" AND (O.SFSOS='F' %SFSOS%)");
}

QString payoutRows(bool bruto)
{
    return innerColumns(bruto, false) + innerFrom(bruto) +
           QStringLiteral(
               " WHERE D.DAN>=:DatumOd AND D.DAN<=:DatumDo AND D.SFPDG IN ('=','@')"
               " AND EXISTS(SELECT 1 FROM REK2_DOG L WHERE L.ID_DOG=D.IDDOG AND L.DURS_ID_DOK IS NULL AND "
               "L.XML_FILE IS NULL AND L.DAVCNI_ODTEGLJAJ=(CASE WHEN ((") +
           hasWithholding(bruto) + QStringLiteral(" AND D.DAN<>W.ZPD) OR NOT ") + hasWithholding(bruto) +
           QStringLiteral(") THEN 'N' ELSE 'D' END))") + personFilter(bruto) +
           QStringLiteral(
               " AND NOT EXISTS(SELECT 1 FROM REK2_DOG L WHERE L.ID_DOG=D.IDDOG AND L.ID_REK2_ANAL>0 AND "
               "L.DAVCNI_ODTEGLJAJ=NVL((CASE WHEN D.DAN<>W.ZPD THEN 'N' WHEN W.ZPD IS NULL THEN 'N' ELSE "
               "'D' END), 'N'))");
}

QString laterRows(bool bruto)
{
    return innerColumns(bruto, true) + innerFrom(bruto) +
           QStringLiteral(" WHERE D.IDDOG IN (SELECT R1.ID_DOG FROM REK2_DOG R1 JOIN DOGLNK DL1 ON "
                          "R1.ID_DOG=DL1.IDDOGMASTER JOIN DOG D1 ON D1.IDDOG=DL1.IDDOGDETAIL JOIN DOG D2 ON "
                          "D2.IDDOG=DL1.IDDOGMASTER WHERE D1.ZPD>=:DatumOd AND D1.ZPD<=:DatumDo AND "
                          "R1.DAVCNI_ODTEGLJAJ='D' AND D1.ZPD<>D2.DAN)") +
           personFilter(bruto) +
           QStringLiteral(
               " AND NOT EXISTS(SELECT 1 FROM REK2_DOG L WHERE L.ID_DOG=D.IDDOG AND L.ID_REK2_ANAL>0 AND "
               "L.DAVCNI_ODTEGLJAJ='D' AND D.DAN<>W.ZPD)");
}

QString credit()
{
    // As Oracle computes it on decimals: the difference of two amounts in
    // cents and the digit after the cent are compared after rounding, so a
    // binary remainder cannot tip the comparison.
    return QStringLiteral(
        "(CASE WHEN ROUND(SUM(Davek20P), 2) > ROUND(SUM(DavekTuji), 2) AND ("
        "ROUND(ABS(ROUND(SUM(Davek20P), 2) - ROUND(SUM(DavekTuji), 2)), 2) > 0.01"
        " OR ROUND(ROUND(SUM(Davek20P), 3) * 100 - TRUNC(ROUND(SUM(Davek20P), 3) * 100), 1) > 0.5"
        ") THEN ROUND(ROUND(SUM(Davek20P), 2) - ROUND(SUM(DavekTuji), 2), 2) ELSE 0 END)");
}

QString nullSafe(const QString& column, const QString& value)
{
    return column + QStringLiteral(" IS ") + value;
}

} // namespace

QString analyticStatement(const Settings& s)
{
    const bool bruto = s.FHasBrutoDiv;
    QStringList l;
    l << QStringLiteral("INSERT INTO REK2_ANAL (ID_REK2_ANAL, ID_REK2_ZBIR, DURS_ID_DOK, DVS, IDENT_ST, "
                        "NAZIV, REZ, DRZ, UGO_MED_POG, "
                        "SIF_SFDOH, BRUTO, DAV_ODT_OBR, DAV_ODT_PLC, DAV_ODT_ODB_TUJ, SIF_VRSTE_DOH, "
                        "DATUM_IZP_DIV, DATUM_PLC_DVK, "
                        "STATUS, SFKPN, SFVP, IME, PRIIMEK") +
             (bruto ? QString() : QStringLiteral(", ZNIZANASTOPNJA")) + QStringLiteral(")");
    l << QStringLiteral("SELECT rek2_nextval('ID_REK2_ANAL_SEQ'), A.* FROM (");
    l << QStringLiteral(
        "SELECT 0 AS IdZbir, '0' AS Id, DVS, IdentSt, OsbNzv, Rezident, SFDRZBNK, ugodMedPog, OznDog, "
        "ROUND(SUM(BrutoZnesekDividende), 2) AS BrutoZnesekDividende, SUM(Dav_Odt) AS Dav_Odt, "
        "SUM(Dav_Odt2) AS Dav_Odt2,");
    if (bruto)
        l << credit() + QStringLiteral(" AS DavekTuji,");
    else
        l << QStringLiteral("(CASE WHEN NVL(SfDrzIzd, 'X') = 'S' THEN 0 ELSE ") + credit() +
                 QStringLiteral(" END) AS DavekTuji,");
    l << QStringLiteral("VrsDoh, Dan, DanDavOdt, Status, SFKPN, SFVP, OsbIme, OsbPriimek") +
             (bruto ? QString() : QStringLiteral(", ZnizanaStopnja"));
    l << QStringLiteral("FROM (");
    l << payoutRows(bruto);
    l << QStringLiteral("UNION ALL");
    l << laterRows(bruto);
    l << QStringLiteral(")");
    l << QStringLiteral(
             "GROUP BY DVS, IdentSt, OsbNzv, OsbIme, OsbPriimek, Rezident, SFDRZBNK, ugodMedPog, OznDog, "
             "VrsDoh, Dan, DanDavOdt, Status, SFKPN, SFVP") +
             (bruto ? QString() : QStringLiteral(", ZnizanaStopnja, SfDrzIzd")) + QStringLiteral(") A");
    QStringList same = {
        nullSafe(QStringLiteral("X.DVS"), QStringLiteral("A.DVS")),
        nullSafe(QStringLiteral("X.IDENT_ST"), QStringLiteral("A.IdentSt")),
        QStringLiteral("X.NAZIV=A.OsbNzv"),
        nullSafe(QStringLiteral("X.IME"), QStringLiteral("A.OsbIme")),
        nullSafe(QStringLiteral("X.PRIIMEK"), QStringLiteral("A.OsbPriimek")),
        QStringLiteral("X.REZ=A.Rezident"),
        nullSafe(QStringLiteral("X.DRZ"), QStringLiteral("A.SFDRZBNK")),
        QStringLiteral("X.UGO_MED_POG=A.ugodMedPog"),
        QStringLiteral("X.SIF_SFDOH=A.OznDog"),
        QStringLiteral("X.SIF_VRSTE_DOH=A.VrsDoh"),
        QStringLiteral("X.DATUM_IZP_DIV=A.Dan"),
        nullSafe(QStringLiteral("X.DATUM_PLC_DVK"), QStringLiteral("A.DanDavOdt")),
        nullSafe(QStringLiteral("X.STATUS"), QStringLiteral("A.Status")),
        nullSafe(QStringLiteral("X.SFKPN"), QStringLiteral("A.SFKPN")),
        nullSafe(QStringLiteral("X.SFVP"), QStringLiteral("A.SFVP")),
    };
    if (!bruto)
        same << QStringLiteral("NVL(X.ZNIZANASTOPNJA, 'N')=A.ZnizanaStopnja");
    l << QStringLiteral("WHERE NOT EXISTS(SELECT 1 FROM REK2_ANAL X WHERE ") +
             same.join(QStringLiteral(" AND ")) + QStringLiteral(")");
    const QString text = l.join(QLatin1Char('\n'));
    if (bruto)
        return fill({text}, {{QStringLiteral("%SfDogDvcOdt%"), s.SfDogDvcOdt}});
    return fill({text}, {{QStringLiteral("%SFSOS%"), analyticPersonFilter(s)}});
}

namespace {

// The analytic rows of this run's summaries a link may go to: same person
// (tax number, foreign number and name, null-safe), payout date, status and
// coupon; a tax link goes to the row of its own tax date, a payout link to
// the row without one; same reduced-rate mark.
QString matchingRows(const Settings& s, const QString& ids)
{
    const bool bruto = s.FHasBrutoDiv;
    QString withholding =
        bruto ? QStringLiteral("(SELECT W.ZPD FROM DOGLNK DL, DOG W WHERE DL.IDDOGMASTER=D.IDDOG "
                               "AND DL.SFLNK='R' AND DL.IDDOGDETAIL=W.IDDOG AND W.SFDOG IN (") +
                    s.SfDogDvcOdt + QStringLiteral("))")
              : QStringLiteral("(SELECT W.ZPD FROM DOGLNK DL, DOG W WHERE DL.IDDOGMASTER=D.IDDOG "
                               "AND DL.SFLNK='R' AND DL.IDDOGDETAIL=W.IDDOG)");
    QStringList l;
    l << QStringLiteral("FROM DOG D JOIN POG P ON D.IDPOG=P.IDPOG");
    l << (bruto ? QStringLiteral("JOIN OSB O ON O.SFOSB = P.SFOSB")
                : QStringLiteral("JOIN OSB O ON O.SFOSB = NVL(D.SFOSBDVK, P.SFOSB)"));
    l << QStringLiteral("LEFT OUTER JOIN KPN KP ON D.SFKPN=KP.SFKPN");
    l << QStringLiteral(
        "JOIN REK2_ANAL A ON A.DATUM_IZP_DIV=D.DAN AND A.DVS IS O.DVS AND A.SFKPN IS KP.SFKPN");
    l << QStringLiteral("WHERE D.IDDOG=REK2_DOG.ID_DOG AND A.ID_REK2_ZBIR IN (") + ids + QStringLiteral(")");
    l << QStringLiteral("AND A.STATUS=REK2_DOG.STATUS AND A.NAZIV=IFNULL(O.IME, '')||' '||IFNULL(O.NZV, '')");
    l << (bruto ? QStringLiteral("AND A.IDENT_ST IS NULL")
                : QStringLiteral("AND A.IDENT_ST IS NVL(O.DVSTUJ, O.DVSZDA)"));
    l << QStringLiteral("AND ((REK2_DOG.DAVCNI_ODTEGLJAJ='D' AND A.DATUM_PLC_DVK=") + withholding +
             QStringLiteral(") OR (REK2_DOG.DAVCNI_ODTEGLJAJ='N' AND A.DATUM_PLC_DVK IS NULL))");
    if (bruto)
        l << QStringLiteral("AND NVL(A.ZNIZANASTOPNJA, 'N')='N'");
    else
        l << QStringLiteral(
            "AND NVL(A.ZNIZANASTOPNJA, 'N')=(CASE WHEN D.DAVEKRAZPOBR IS NOT NULL AND D.DAVEKRAZP IS "
            "NOT NULL AND D.DAVEKRAZPOBR < D.DAVEKRAZP THEN 'D' ELSE 'N' END)");
    return l.join(QLatin1Char('\n'));
}

} // namespace

QString linkUpdate(const Settings& s, const QString& ids)
{
    return QStringLiteral("UPDATE REK2_DOG SET ID_REK2_ANAL = (SELECT A.ID_REK2_ANAL\n") +
           matchingRows(s, ids) + QStringLiteral(")\nWHERE (ID_REK2_ANAL = 0 OR ID_REK2_ANAL IS NULL)");
}

QString linkAmbiguity(const Settings& s, const QString& ids)
{
    return QStringLiteral(
               "SELECT REK2_DOG.ID_DOG FROM REK2_DOG WHERE (ID_REK2_ANAL = 0 OR ID_REK2_ANAL IS NULL) AND "
               "(SELECT COUNT(*)\n") +
           matchingRows(s, ids) + QStringLiteral(") > 1");
}

} // namespace rek2::collect::sqlite
