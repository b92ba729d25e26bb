#include "collect/statements.h"

#include "base/settings.h"

namespace rek2::collect {

// The stored texts below are kept line for line as the system has always
// sent them. Two kinds of change were made on purpose:
//  - the final "already present" guard of both analytic statements compares
//    the nullable columns null-safely; with plain equality a row with any
//    empty key (no Slovenian tax number, no tax date, no coupon row) was
//    never recognised and every later run inserted it again;
//  - the standard guard also compares the reduced-rate mark, which is part
//    of the row's grouping;
//  - a payout whose withholding event is dated on the payout day is linked
//    with 'D' also when that event's tax is zero: the analytic statements
//    build a payout row only from a 'D' link in that case, so with 'N' such
//    a recipient was linked but never reported.

const QStringList& qREK2_DOG()
{
    static const QStringList lines = {
        QStringLiteral("INSERT INTO REK2_DOG"),
        QStringLiteral("select 0 as Id_REK2_Anal, D.IdDog, null, null, 'O' as Status,"),
        QStringLiteral("(SELECT (case when Abs(Lot)>0 then 'D' else 'N' end) FROM DOG"),
        QStringLiteral(
            "  WHERE IDDOG=(SELECT IDDOGDETAIL FROM DOGLNK DL, DOG D1 WHERE IDDOGMASTER=D.IDDOG AND "
            "SFLNK='R' AND DL.iddogdetail=D1.IdDOg AND D1.SfDog IN (%SfDogDvcOdt%))) as Davcni_Odtegljaj"),
        QStringLiteral(
            "from DOG D LEFT OUTER JOIN KPN K ON D.SFKPN=K.SFKPN LEFT OUTER JOIN SFVP V ON D.SFVP=V.SFVP"),
        QStringLiteral("JOIN POG P ON D.IDPOG=P.IDPOG JOIN OSB O ON P.SFOSB=O.SFOSB LEFT OUTER JOIN DRZ R ON "
                       "R.SFDRZ = NVL(O.SfDrzDvk, O.SFDRZ)"),
        QStringLiteral("LEFT OUTER JOIN DOGLNK DL ON (D.IDDOG=DL.IDDOGMASTER AND SFLNK='R') JOIN DOG D2 ON  "
                       "DL.IDDOGDETAIL=D2.IDDOG"),
        QStringLiteral(
            "where O.SFSOS='F' %OSB.SFDRZ% AND D2.Zpd>=:DatumOd AND D2.Zpd<=:DatumDo AND D.Dan<>D2.Zpd"),
        QStringLiteral("AND NOT EXISTS(SELECT A.ID_DOG FROM REK2_DOG A WHERE A.DAVCNI_ODTEGLJAJ=(SELECT "
                       "(case when Abs(Lot)>0 then 'D' else 'N' end)"),
        QStringLiteral(
            "  FROM DOG WHERE IDDOG=(SELECT IDDOGDETAIL FROM DOGLNK DL, DOG D1 WHERE IDDOGMASTER=D.IDDOG AND "
            "SFLNK='R' AND DL.iddogdetail=D1.IdDOg AND D1.SfDog IN (%SfDogDvcOdt%))) AND A.ID_DOG=D.IDDOG)"),
        QStringLiteral("UNION ALL"),
        QStringLiteral("select 0 as Id_REK2_Anal, D.IdDog, null, null, 'O' as Status,"),
        QStringLiteral("NVL((SELECT (case when (D.Dan=Zpd) then 'D' else 'N' end)"),
        QStringLiteral("  FROM DOG WHERE IDDOG=(SELECT IDDOGDETAIL FROM DOGLNK DL, DOG D1 WHERE "
                       "IDDOGMASTER=D.IDDOG AND SFLNK='R' AND DL.iddogdetail=D1.IdDOg AND D1.SfDog IN "
                       "(%SfDogDvcOdt%))),'N') as Davcni_Odtegljaj"),
        QStringLiteral(
            "from DOG D LEFT OUTER JOIN KPN K ON D.SFKPN=K.SFKPN LEFT OUTER JOIN SFVP V ON D.SFVP=V.SFVP"),
        QStringLiteral("JOIN POG P ON D.IDPOG=P.IDPOG JOIN OSB O ON P.SFOSB=O.SFOSB LEFT OUTER JOIN DRZ R ON "
                       "R.SFDRZ = NVL(O.SfDrzDvk, O.SFDRZ)"),
        QStringLiteral(
            "where DAN>=:DatumOd AND Dan<=:DatumDo and SfPDG IN ('=','@') AND O.SFSOS='F' %OSB.SFDRZ%"),
        QStringLiteral("AND NOT EXISTS(SELECT A.ID_DOG FROM REK2_DOG A"),
        QStringLiteral("  WHERE A.DAVCNI_ODTEGLJAJ=NVL((SELECT (case when (D.Dan=Zpd) "
                       "then 'D' else 'N' end)"),
        QStringLiteral("    FROM DOG WHERE IDDOG=(SELECT IDDOGDETAIL FROM DOGLNK DL, DOG D1 WHERE "
                       "IDDOGMASTER=D.IDDOG AND SFLNK='R' AND DL.iddogdetail=D1.IdDOg AND D1.SfDog IN "
                       "(%SfDogDvcOdt%))),'N') AND A.ID_DOG=D.IDDOG)"),
    };
    return lines;
}

const QStringList& qREK2_DOG_BrezBrutoDiv()
{
    static const QStringList lines = {
        QStringLiteral("INSERT INTO REK2_DOG"),
        QStringLiteral("select 0 as Id_REK2_Anal, D.IdDog, null, null, 'O' as Status,"),
        QStringLiteral("(SELECT (case when Abs(Lot)>0 then 'D' else 'N' end) FROM DOG"),
        QStringLiteral("  WHERE IDDOG=(SELECT IDDOGDETAIL FROM DOGLNK WHERE IDDOGMASTER=D.IDDOG AND "
                       "SFLNK='R')) as Davcni_Odtegljaj"),
        QStringLiteral(
            "from DOG D LEFT OUTER JOIN KPN K ON D.SFKPN=K.SFKPN LEFT OUTER JOIN SFVP V ON D.SFVP=V.SFVP"),
        QStringLiteral("JOIN POG P ON D.IDPOG=P.IDPOG JOIN OSB O ON O.SFOSB = NVL(D.SfOsbDvk, P.SFOSB) LEFT "
                       "OUTER JOIN DRZ R ON R.SFDRZ = NVL(O.SfDrzDvk, O.SFDRZ)"),
        QStringLiteral("LEFT OUTER JOIN DOGLNK DL ON (D.IDDOG=DL.IDDOGMASTER AND SFLNK='R') JOIN DOG D2 ON  "
                       "DL.IDDOGDETAIL=D2.IDDOG"),
        QStringLiteral("where (%SFSOS%) %OSB.SFDRZ% AND D2.Zpd>=:DatumOd AND D2.Zpd<=:DatumDo AND "
                       "D.Dan<>D2.Zpd AND ABS(NVL(D.ObrVlt, 0)) > 0.00000001"),
        QStringLiteral("AND NOT EXISTS(SELECT A.ID_DOG FROM REK2_DOG A WHERE A.DAVCNI_ODTEGLJAJ=(SELECT "
                       "(case when Abs(Lot)>0 then 'D' else 'N' end)"),
        QStringLiteral("  FROM DOG WHERE IDDOG=(SELECT IDDOGDETAIL FROM DOGLNK WHERE IDDOGMASTER=D.IDDOG AND "
                       "SFLNK='R')) AND A.ID_DOG=D.IDDOG)"),
        QStringLiteral("UNION ALL"),
        QStringLiteral("select 0 as Id_REK2_Anal, D.IdDog, null, null, 'O' as Status,"),
        QStringLiteral("NVL((SELECT (case when (D.Dan=Zpd) then 'D' else 'N' end)"),
        QStringLiteral("  FROM DOG WHERE IDDOG=(SELECT IDDOGDETAIL FROM DOGLNK WHERE IDDOGMASTER=D.IDDOG AND "
                       "SFLNK='R')),'N') as Davcni_Odtegljaj"),
        QStringLiteral(
            "from DOG D LEFT OUTER JOIN KPN K ON D.SFKPN=K.SFKPN LEFT OUTER JOIN SFVP V ON D.SFVP=V.SFVP"),
        QStringLiteral("JOIN POG P ON D.IDPOG=P.IDPOG JOIN OSB O ON O.SFOSB = NVL(D.SfOsbDvk, P.SFOSB) LEFT "
                       "OUTER JOIN DRZ R ON R.SFDRZ = NVL(O.SfDrzDvk, O.SFDRZ)"),
        QStringLiteral("where DAN>=:DatumOd AND Dan<=:DatumDo and SfPDG IN ('=','@') AND (%SFSOS%) "
                       "%OSB.SFDRZ% AND ABS(NVL(D.ObrVlt, 0)) > 0.00000001"),
        QStringLiteral("AND NOT EXISTS(SELECT A.ID_DOG FROM REK2_DOG A"),
        QStringLiteral("  WHERE A.DAVCNI_ODTEGLJAJ=NVL((SELECT (case when (D.Dan=Zpd) "
                       "then 'D' else 'N' end)"),
        QStringLiteral("    FROM DOG WHERE IDDOG=(SELECT IDDOGDETAIL FROM DOGLNK WHERE IDDOGMASTER=D.IDDOG "
                       "AND SFLNK='R')),'N') AND A.ID_DOG=D.IDDOG)"),
    };
    return lines;
}

const QStringList& qNabor_BrezBrutoDiv()
{
    static const QStringList lines = {
        QStringLiteral(
            "INSERT INTO REK2_ANAL (ID_REK2_ANAL, ID_REK2_ZBIR, DURS_ID_DOK, DVS, IDENT_ST, NAZIV, REZ, DRZ, "
            "UGO_MED_POG, SIF_SFDOH, BRUTO, DAV_ODT_OBR, DAV_ODT_PLC, DAV_ODT_ODB_TUJ, SIF_VRSTE_DOH, "
            "DATUM_IZP_DIV, DATUM_PLC_DVK, STATUS, SFKPN, SFVP, IME, PRIIMEK, ZNIZANASTOPNJA)"),
        QStringLiteral("select ID_REK2_ANAL_SEQ.NEXTVAL as IdAnal, A.*"),
        QStringLiteral("FROM (SELECT 0 as IdZbir, 0 as Id, DVS, IdentSt,"),
        QStringLiteral("OsbNzv, Rezident, SFDRZBNK, ugodMedPog, OznDog,"),
        QStringLiteral(
            "ROUND(SUM(BrutoZnesekDividende), 2) as BrutoZnesekDividende, SUM(Dav_Odt) as Dav_Odt,"),
        QStringLiteral("SUM(Dav_Odt2) as Dav_Odt2,"),
        QStringLiteral("(CASE WHEN NVL(SfDrzIzd, 'X') = 'S' THEN 0 ELSE"),
        QStringLiteral("(CASE WHEN ROUND(SUM(Davek20P), 2) > ROUND(SUM(DavekTuji), 2) AND ("),
        QStringLiteral("    ABS(ROUND(SUM(Davek20P), 2) - ROUND(SUM(DavekTuji), 2)) > 0.01"),
        QStringLiteral("    OR ROUND(SUM(Davek20P), 3) * 100 - TRUNC(ROUND(SUM(Davek20P), 3) * 100) > 0.5"),
        QStringLiteral(
            ") THEN ROUND(SUM(Davek20P), 2) - ROUND(SUM(DavekTuji), 2) ELSE 0 END) END) as DavekTuji,"),
        QStringLiteral("VrsDoh, Dan, DanDavOdt, Status, SFKPN, SFVP,"),
        QStringLiteral("OsbIme, OsbPriimek, ZnizanaStopnja"),
        QStringLiteral("FROM ("),
        QStringLiteral("select O.DVS, NVL(O.DvsTuj, O.DvsZDA) AS IdentSt, O.IME||' '||O.NZV as OsbNzv, O.Ime "
                       "AS OsbIme, O.NZV AS OsbPriimek,"),
        QStringLiteral("(CASE WHEN NVL(O.SfDrzDvk, O.SFDRZ)='S' THEN 'R' ELSE 'N' END) as Rezident, "
                       "R.SFDRZBNK, I.SfDrz AS SfDrzIzd,"),
        QStringLiteral("(CASE WHEN D.DavekRazpObr IS NOT NULL AND D.DavekRazp IS NOT NULL AND D.DavekRazpObr "
                       "< D.DavekRazp THEN 'D' ELSE 'N' END) AS ZnizanaStopnja,"),
        QStringLiteral("1 as ugodMedPog,"),
        QStringLiteral("(CASE WHEN K.SfObr='D' THEN '5700' WHEN (V.KRT='SOS2E' OR V.KRT='SOS2E_S') THEN "
                       "'5600' ELSE '5400' END) as OznDog,"),
        QStringLiteral("(CASE WHEN D.SFGLVENT='%' THEN"),
        QStringLiteral(
            "    (SELECT ((OBRVLT+REVVLT)*D.LOT)/D.TCJVLT FROM DOG WHERE IDDOG=D.IDDOGGOT and SFPDG='O')"),
        QStringLiteral("  ELSE"),
        QStringLiteral("    ((D.LOT*K.OBROBRBRT)/D.TCJVLT) END) as BrutoZnesekDividende,"),
        QStringLiteral("(SELECT CASE WHEN SfVpGot = :SfVpGotEUR THEN -Got ELSE ABS(ROUND(Lot, 2)/TcjVlt) END "
                       "FROM DOG WHERE IDDOG=(SELECT IDDOGDETAIL FROM DOGLNK WHERE IDDOGMASTER=D.IDDOG AND "
                       "SFLNK='R')) as Dav_Odt,"),
        QStringLiteral("(CASE WHEN D.Dan<>(SELECT Zpd FROM DOG WHERE IDDOG=(SELECT IDDOGDETAIL FROM DOGLNK "
                       "WHERE IDDOGMASTER=D.IDDOG AND SFLNK='R')) THEN 0 ELSE"),
        QStringLiteral("(SELECT CASE WHEN SfVpGot = :SfVpGotEUR THEN -Got ELSE ABS(ROUND(Lot, 2)/TcjVlt) END "
                       "FROM DOG WHERE IDDOG=(SELECT IDDOGDETAIL FROM DOGLNK WHERE IDDOGMASTER=D.IDDOG AND "
                       "SFLNK='R')) END) as Dav_Odt2,"),
        QStringLiteral("(CASE WHEN D.SFGLVENT='%' THEN"),
        QStringLiteral("    (SELECT ((OBRVLT+REVVLT)*D.LOT)/D.TCJVLT FROM DOG WHERE IDDOG=D.IDDOGGOT and "
                       "SFPDG='O')*(SELECT STOPNJA/100 FROM DVK_STP WHERE SFDRZ='S' AND DAN=(SELECT MAX(DAN) "
                       "FROM DVK_STP WHERE SFDRZ='S' AND DAN<=d.dan AND TIP=k.sfobr) AND TIP=k.sfobr)"),
        QStringLiteral("  ELSE"),
        QStringLiteral("    ((D.LOT*K.OBROBRBRT)/D.TCJVLT)*(SELECT STOPNJA/100 FROM DVK_STP WHERE SFDRZ='S' "
                       "AND DAN=(SELECT MAX(DAN) FROM DVK_STP WHERE SFDRZ='S' AND DAN<=d.dan AND "
                       "TIP=k.sfobr) AND TIP=k.sfobr) END) As Davek20P,"),
        QStringLiteral("NVL((SELECT ABS(Lot/TcjVlt) FROM DOG WHERE IDDOG=(SELECT IDDOGDETAIL FROM DOGLNK "
                       "WHERE IDDOGMASTER=D.IDDOG AND SFLNK='R')),0) as DavekTuji,"),
        QStringLiteral("(CASE WHEN K.SfObr='D' THEN '1920' WHEN (V.KRT='SOS2E' OR V.KRT='SOS2E_S') THEN "
                       "'1902' ELSE '1901' END) as VrsDoh,"),
        QStringLiteral("D.Dan, (CASE WHEN D.Dan<>(SELECT Zpd FROM DOG WHERE IDDOG=(SELECT IDDOGDETAIL FROM "
                       "DOGLNK WHERE IDDOGMASTER=D.IDDOG AND SFLNK='R')) THEN NULL ELSE"),
        QStringLiteral("(SELECT Zpd FROM DOG WHERE IDDOG=(SELECT IDDOGDETAIL FROM DOGLNK WHERE "
                       "IDDOGMASTER=D.IDDOG AND SFLNK='R')) END) as DanDavOdt,"),
        QStringLiteral(
            "(select STATUS FROM REK2_DOG WHERE DURS_ID_DOK IS NULL AND XML_FILE IS NULL AND ID_DOG=D.IDDOG"),
        QStringLiteral(
            "  and (((DAVCNI_ODTEGLJAJ='N') AND (((SELECT Zpd FROM DOG WHERE IDDOG=(SELECT IDDOGDETAIL FROM "
            "DOGLNK WHERE IDDOGMASTER=D.IDDOG AND SFLNK='R')) IS NULL) OR (D.Dan<>(SELECT Zpd FROM DOG WHERE "
            "IDDOG=(SELECT IDDOGDETAIL FROM DOGLNK WHERE IDDOGMASTER=D.IDDOG AND SFLNK='R')))))"),
        QStringLiteral("   OR ((DAVCNI_ODTEGLJAJ='D') AND (D.Dan=(SELECT Zpd FROM DOG WHERE IDDOG=(SELECT "
                       "IDDOGDETAIL FROM DOGLNK WHERE IDDOGMASTER=D.IDDOG AND SFLNK='R')))"),
        QStringLiteral("))) as Status, K.SFKpn, V.KRT AS SFVP"),
        QStringLiteral("from DOG D LEFT OUTER JOIN KPN K ON D.SFKPN=K.SFKPN LEFT OUTER JOIN SFVP V ON "
                       "D.SFVP=V.SFVP LEFT OUTER JOIN OSB I ON I.SfOsb = V.SfOsbIzd"),
        QStringLiteral("JOIN POG P ON D.IDPOG=P.IDPOG"),
        QStringLiteral("JOIN OSB O ON O.SFOSB = NVL(D.SfOsbDvk, P.SFOSB)"),
        QStringLiteral("LEFT OUTER JOIN DRZ R ON R.SFDRZ = NVL(O.SfDrzDvk, O.SFDRZ)"),
        QStringLiteral("where DAN>=:DatumOd AND Dan<=:DatumDo and SfPDG in ('=','@')"),
        QStringLiteral(
            "AND D.IDDOG IN (select ID_DOG FROM REK2_DOG WHERE DURS_ID_DOK IS NULL AND XML_FILE IS NULL AND "
            "DAVCNI_ODTEGLJAJ=(CASE WHEN (((EXISTS(SELECT IDDOGDETAIL FROM DOGLNK WHERE IDDOGMASTER=D.IDDOG "
            "AND SFLNK='R')) AND (D.Dan<>(SELECT Zpd FROM DOG WHERE IDDOG=(SELECT IDDOGDETAIL FROM DOGLNK "
            "WHERE IDDOGMASTER=D.IDDOG AND SFLNK='R')))) OR (NOT EXISTS(SELECT IDDOGDETAIL FROM DOGLNK WHERE "
            "IDDOGMASTER=D.IDDOG AND SFLNK='R'))) THEN 'N' ELSE 'D' END))"),
        QStringLiteral("AND (O.SFSOS='F' %SFSOS%)"),
        QStringLiteral("AND D.IDDOG NOT IN (select ID_DOG from REK2_DOG WHERE ID_REK2_ANAL>0 AND "
                       "DAVCNI_ODTEGLJAJ=NVL((CASE WHEN D.Dan<>(SELECT Zpd FROM DOG WHERE IDDOG=(SELECT "
                       "IDDOGDETAIL FROM DOGLNK WHERE IDDOGMASTER=D.IDDOG AND SFLNK='R')) THEN 'N' WHEN "
                       "(SELECT Zpd FROM DOG WHERE IDDOG=(SELECT IDDOGDETAIL FROM DOGLNK WHERE "
                       "IDDOGMASTER=D.IDDOG AND SFLNK='R')) IS NULL THEN 'N' ELSE 'D' END),'N'))"),
        QStringLiteral("UNION ALL"),
        QStringLiteral("select O.DVS, NVL(O.DvsTuj, O.DvsZDA) AS IdentSt, O.IME||' '||O.NZV as OsbNzv, O.Ime "
                       "AS OsbIme, O.NZV AS OsbPriimek,"),
        QStringLiteral("(CASE WHEN NVL(O.SfDrzDvk, O.SFDRZ) = 'S' THEN 'R' ELSE 'N' END) as Rezident, "
                       "R.SFDRZBNK, I.SfDrz AS SfDrzIzd,"),
        QStringLiteral("(CASE WHEN D.DavekRazpObr IS NOT NULL AND D.DavekRazp IS NOT NULL AND D.DavekRazpObr "
                       "< D.DavekRazp THEN 'D' ELSE 'N' END) AS ZnizanaStopnja,"),
        QStringLiteral("1 as ugodMedPog,"),
        QStringLiteral("(CASE WHEN K.SfObr='D' THEN '5700' WHEN (V.KRT='SOS2E' OR V.KRT='SOS2E_S') THEN "
                       "'5600' ELSE '5400' END) as OznDog,"),
        QStringLiteral("(CASE WHEN D.SFGLVENT='%' THEN"),
        QStringLiteral(
            "    (SELECT ((OBRVLT+REVVLT)*D.LOT)/D.TCJVLT FROM DOG WHERE IDDOG=D.IDDOGGOT and SFPDG='O')"),
        QStringLiteral("  ELSE"),
        QStringLiteral("    ((D.LOT*K.OBROBRBRT)/D.TCJVLT) END) as BrutoZnesekDividende,"),
        QStringLiteral("(SELECT CASE WHEN SfVpGot = :SfVpGotEUR THEN -Got ELSE ABS(ROUND(Lot, 2)/TcjVlt) END "
                       "FROM DOG WHERE IDDOG=(SELECT IDDOGDETAIL FROM DOGLNK WHERE IDDOGMASTER=D.IDDOG AND "
                       "SFLNK='R')) as Dav_Odt,"),
        QStringLiteral("(SELECT CASE WHEN SfVpGot = :SfVpGotEUR THEN -Got ELSE ABS(ROUND(Lot, 2)/TcjVlt) END "
                       "FROM DOG WHERE IDDOG=(SELECT IDDOGDETAIL FROM DOGLNK WHERE IDDOGMASTER=D.IDDOG AND "
                       "SFLNK='R')) as Dav_Odt2,"),
        QStringLiteral("(CASE WHEN D.SFGLVENT='%' THEN"),
        QStringLiteral("      (SELECT ((OBRVLT+REVVLT)*D.LOT)/D.TCJVLT FROM DOG WHERE IDDOG=D.IDDOGGOT and "
                       "SFPDG='O')*(SELECT STOPNJA/100 FROM DVK_STP WHERE SFDRZ='S' AND DAN=(SELECT MAX(DAN) "
                       "FROM DVK_STP WHERE SFDRZ='S' AND DAN<=d.dan AND TIP=k.sfobr) AND TIP=k.sfobr)"),
        QStringLiteral("    ELSE"),
        QStringLiteral("      ((D.LOT*K.OBROBRBRT)/D.TCJVLT)*(SELECT STOPNJA/100 FROM DVK_STP WHERE "
                       "SFDRZ='S' AND DAN=(SELECT MAX(DAN) FROM DVK_STP WHERE SFDRZ='S' AND DAN<=d.dan AND "
                       "TIP=k.sfobr) AND TIP=k.sfobr) END) As Davek20P,"),
        QStringLiteral("NVL((SELECT ABS(Lot/TcjVlt) FROM DOG WHERE IDDOG=(SELECT IDDOGDETAIL FROM DOGLNK "
                       "WHERE IDDOGMASTER=D.IDDOG AND SFLNK='R')),0) as DavekTuji,"),
        QStringLiteral("(CASE WHEN K.SfObr='D' THEN '1920' WHEN (V.KRT='SOS2E' OR V.KRT='SOS2E_S') THEN "
                       "'1902' ELSE '1901' END) as VrsDoh,"),
        QStringLiteral("D.Dan, (SELECT Zpd FROM DOG WHERE IDDOG=(SELECT IDDOGDETAIL FROM DOGLNK WHERE "
                       "IDDOGMASTER=D.IDDOG AND SFLNK='R')) as DanDavOdt,"),
        QStringLiteral(
            "(select STATUS FROM REK2_DOG WHERE DURS_ID_DOK IS NULL AND XML_FILE IS NULL AND ID_DOG=D.IDDOG "
            "and DAVCNI_ODTEGLJAJ='D' AND (D.Dan<>(SELECT Zpd FROM DOG WHERE IDDOG=(SELECT IDDOGDETAIL FROM "
            "DOGLNK WHERE IDDOGMASTER=D.IDDOG AND SFLNK='R')))) as Status, K.SFKpn, V.KRT AS SFVP"),
        QStringLiteral("from DOG D LEFT OUTER JOIN KPN K ON D.SFKPN=K.SFKPN LEFT OUTER JOIN SFVP V ON "
                       "D.SFVP=V.SFVP LEFT OUTER JOIN OSB I ON I.SfOsb = V.SfOsbIzd"),
        QStringLiteral("JOIN POG P ON D.IDPOG=P.IDPOG"),
        QStringLiteral("JOIN OSB O ON O.SFOSB = NVL(D.SfOsbDvk, P.SFOSB)"),
        QStringLiteral("LEFT OUTER JOIN DRZ R ON R.SFDRZ = NVL(O.SfDrzDvk, O.SFDRZ)"),
        QStringLiteral("where D.IdDOG IN ((SELECT R1.ID_DOG FROM REK2_DOG R1 JOIN DOGLNK DL1 ON "
                       "R1.ID_DOG=DL1.IDDOGMASTER"),
        QStringLiteral("  JOIN DOG D1 ON D1.IDDOG=DL1.IDDOGDETAIL"),
        QStringLiteral("  JOIN DOG D2 ON D2.IDDOG=DL1.IDDOGMASTER"),
        QStringLiteral("  WHERE D1.ZPD>=:DatumOd AND D1.ZPD<=:DatumDo"),
        QStringLiteral("  AND R1.DAVCNI_ODTEGLJAJ='D' AND D1.ZPD<>D2.Dan))"),
        QStringLiteral("AND (O.SFSOS='F' %SFSOS%)"),
        QStringLiteral("AND D.IDDOG NOT IN (select ID_DOG from REK2_DOG WHERE ID_REK2_ANAL>0 AND "
                       "DAVCNI_ODTEGLJAJ='D' AND (D.Dan<>(SELECT Zpd FROM DOG WHERE IDDOG=(SELECT "
                       "IDDOGDETAIL FROM DOGLNK WHERE IDDOGMASTER=D.IDDOG AND SFLNK='R'))))"),
        QStringLiteral(")"),
        QStringLiteral("GROUP BY DVS, IdentSt, OsbNzv, OsbIme, OsbPriimek, Rezident, SFDRZBNK, ugodMedPog, "
                       "OznDog, VrsDoh, Dan, DanDavOdt, Status, SFKpn, SFVP, ZnizanaStopnja, SfDrzIzd) A"),
        QStringLiteral(
            "where NOT EXISTS(select * from REK2_ANAL WHERE (DVS=A.DVS OR (DVS IS NULL AND A.DVS IS NULL)) "
            "AND (IDENT_ST=A.IdentSt OR (IDENT_ST IS NULL AND A.IdentSt IS NULL)) AND NAZIV=A.OsbNzv AND "
            "(IME=A.OsbIme OR (IME IS NULL AND A.OsbIme IS NULL)) AND (PRIIMEK=A.OsbPriimek OR (PRIIMEK IS "
            "NULL AND A.OsbPriimek IS NULL)) AND REZ=A.Rezident"),
        QStringLiteral(
            "AND (DRZ=A.SFDRZBNK OR (DRZ IS NULL AND A.SFDRZBNK IS NULL)) AND UGO_MED_POG=A.ugodMedPog AND "
            "SIF_SFDOH=A.OznDog AND SIF_VRSTE_DOH=A.VrsDoh AND DATUM_IZP_DIV=A.DAN"),
        QStringLiteral("AND (Datum_PLC_DVK=A.DanDavOdt OR (Datum_PLC_DVK IS NULL AND A.DanDavOdt IS NULL)) "
                       "AND (STATUS=A.Status OR (STATUS IS NULL AND A.Status IS NULL)) AND (SFKPN=A.SFKPN OR "
                       "(SFKPN IS NULL AND A.SFKPN IS NULL)) AND (SFVP=A.SFVP OR (SFVP IS NULL AND A.SFVP IS "
                       "NULL)) AND NVL(ZNIZANASTOPNJA, 'N')=A.ZnizanaStopnja)"),
    };
    return lines;
}

const QStringList& qNabor()
{
    static const QStringList lines = {
        QStringLiteral(
            "INSERT INTO REK2_ANAL (ID_REK2_ANAL, ID_REK2_ZBIR, DURS_ID_DOK, DVS, IDENT_ST, NAZIV, REZ, DRZ, "
            "UGO_MED_POG, SIF_SFDOH, BRUTO, DAV_ODT_OBR, DAV_ODT_PLC, DAV_ODT_ODB_TUJ, SIF_VRSTE_DOH, "
            "DATUM_IZP_DIV, DATUM_PLC_DVK, STATUS, SFKPN, SFVP, IME, PRIIMEK)"),
        QStringLiteral("select ID_REK2_ANAL_SEQ.NEXTVAL as IdAnal, A.*"),
        QStringLiteral("FROM (SELECT 0 as IdZbir, 0 as Id, DVS, IdentSt,"),
        QStringLiteral("OsbNzv, Rezident, SFDRZBNK, ugodMedPog, OznDog,"),
        QStringLiteral(
            "ROUND(SUM(BrutoZnesekDividende), 2) as BrutoZnesekDividende, SUM(Dav_Odt) as Dav_Odt,"),
        QStringLiteral("SUM(Dav_Odt2) as Dav_Odt2,"),
        QStringLiteral("(CASE WHEN ROUND(SUM(Davek20P), 2) > ROUND(SUM(DavekTuji), 2) AND ("),
        QStringLiteral("    ABS(ROUND(SUM(Davek20P), 2) - ROUND(SUM(DavekTuji), 2)) > 0.01"),
        QStringLiteral("    OR ROUND(SUM(Davek20P), 3) * 100 - TRUNC(ROUND(SUM(Davek20P), 3) * 100) > 0.5"),
        QStringLiteral(") THEN ROUND(SUM(Davek20P), 2) - ROUND(SUM(DavekTuji), 2) ELSE 0 END) as DavekTuji,"),
        QStringLiteral("VrsDoh, Dan, DanDavOdt, Status, SFKPN, SFVP,"),
        QStringLiteral("OsbIme, OsbPriimek"),
        QStringLiteral("FROM ("),
        QStringLiteral("select O.DVS, '' as IdentSt, O.IME||' '||O.NZV as OsbNzv, O.Ime AS OsbIme, O.NZV AS "
                       "OsbPriimek,"),
        QStringLiteral(
            "(CASE WHEN NVL(O.SfDrzDvk, O.SFDRZ) = 'S' THEN 'R' ELSE 'N' END) as Rezident, R.SFDRZBNK,"),
        QStringLiteral("1 as ugodMedPog,"),
        QStringLiteral("(CASE WHEN K.SfObr='D' THEN '5700' WHEN (V.KRT='SOS2E' OR V.KRT='SOS2E_S') THEN "
                       "'5600' ELSE '5400' END) as OznDog,"),
        QStringLiteral("(CASE WHEN D.SFGLVENT='%' THEN"),
        QStringLiteral(
            "    (SELECT ((OBRVLT+REVVLT)*D.LOT)/D.TCJVLT FROM DOG WHERE IDDOG=D.IDDOGGOT and SFPDG='O')"),
        QStringLiteral("  ELSE"),
        QStringLiteral("    (D.LOT*K.OBROBRBRT)/D.TCJVLT END) as BrutoZnesekDividende,"),
        QStringLiteral(
            "(SELECT CASE WHEN SfVpGot = :SfVpGotEUR THEN -Got ELSE ABS(ROUND(Lot, 2)/TcjVlt) END FROM DOG "
            "WHERE IDDOG=(SELECT IDDOGDETAIL FROM DOGLNK DL, DOG D3 WHERE IDDOGMASTER=D.IDDOG AND SFLNK='R' "
            "AND DL.iddogdetail=D3.IdDOg AND D3.SfDog IN (%SfDogDvcOdt%))) as Dav_Odt,"),
        QStringLiteral("(CASE WHEN D.Dan<>(SELECT Zpd FROM DOG WHERE IDDOG=(SELECT IDDOGDETAIL FROM DOGLNK "
                       "DL, DOG D3 WHERE IDDOGMASTER=D.IDDOG AND SFLNK='R' AND DL.iddogdetail=D3.IdDOg AND "
                       "D3.SfDog IN (%SfDogDvcOdt%))) THEN 0 ELSE"),
        QStringLiteral(
            "(SELECT CASE WHEN SfVpGot = :SfVpGotEUR THEN -Got ELSE ABS(ROUND(Lot, 2)/TcjVlt) END FROM DOG "
            "WHERE IDDOG=(SELECT IDDOGDETAIL FROM DOGLNK DL, DOG D3 WHERE IDDOGMASTER=D.IDDOG AND SFLNK='R' "
            "AND DL.iddogdetail=D3.IdDOg AND D3.SfDog IN (%SfDogDvcOdt%))) END) as Dav_Odt2,"),
        QStringLiteral("(CASE WHEN D.SFGLVENT='%' THEN"),
        QStringLiteral("    (SELECT ((OBRVLT+REVVLT)*D.LOT)/D.TCJVLT FROM DOG WHERE IDDOG=D.IDDOGGOT and "
                       "SFPDG='O')*(SELECT STOPNJA/100 FROM DVK_STP WHERE SFDRZ='S' AND DAN=(SELECT MAX(DAN) "
                       "FROM DVK_STP WHERE SFDRZ='S' AND DAN<=d.dan AND TIP=k.sfobr) AND TIP=k.sfobr)"),
        QStringLiteral("  ELSE"),
        QStringLiteral("    ((D.LOT*K.OBROBRBRT)/D.TCJVLT)*(SELECT STOPNJA/100 FROM DVK_STP WHERE SFDRZ='S' "
                       "AND DAN=(SELECT MAX(DAN) FROM DVK_STP WHERE SFDRZ='S' AND DAN<=d.dan AND "
                       "TIP=k.sfobr) AND TIP=k.sfobr) END) as Davek20P,"),
        QStringLiteral("NVL((SELECT ABS(Lot/TcjVlt) FROM DOG WHERE IDDOG=(SELECT IDDOGDETAIL FROM DOGLNK DL, "
                       "DOG D3 WHERE IDDOGMASTER=D.IDDOG AND SFLNK='R' AND DL.iddogdetail=D3.IdDOg AND "
                       "D3.SfDog IN (%SfDogDvcOdt%))),0) as DavekTuji,"),
        QStringLiteral("(CASE WHEN K.SfObr='D' THEN '1920' WHEN (V.KRT='SOS2E' OR V.KRT='SOS2E_S') THEN "
                       "'1902' ELSE '1901' END) as VrsDoh,"),
        QStringLiteral("D.Dan, (CASE WHEN D.Dan<>(SELECT Zpd FROM DOG WHERE IDDOG=(SELECT IDDOGDETAIL FROM "
                       "DOGLNK DL, DOG D3 WHERE IDDOGMASTER=D.IDDOG AND SFLNK='R' AND "
                       "DL.iddogdetail=D3.IdDOg AND D3.SfDog IN (%SfDogDvcOdt%))) THEN NULL ELSE"),
        QStringLiteral("(SELECT Zpd FROM DOG WHERE IDDOG=(SELECT IDDOGDETAIL FROM DOGLNK DL, DOG D3 WHERE "
                       "IDDOGMASTER=D.IDDOG AND SFLNK='R' AND DL.iddogdetail=D3.IdDOg AND D3.SfDog IN "
                       "(%SfDogDvcOdt%))) END) as DanDavOdt,"),
        QStringLiteral(
            "(select STATUS FROM REK2_DOG WHERE DURS_ID_DOK IS NULL AND XML_FILE IS NULL AND ID_DOG=D.IDDOG"),
        QStringLiteral(
            "  and (((DAVCNI_ODTEGLJAJ='N') AND (((SELECT Zpd FROM DOG WHERE IDDOG=(SELECT IDDOGDETAIL FROM "
            "DOGLNK DL, DOG D3 WHERE IDDOGMASTER=D.IDDOG AND SFLNK='R' AND DL.iddogdetail=D3.IdDOg AND "
            "D3.SfDog IN (%SfDogDvcOdt%))) IS NULL) OR (D.Dan<>(SELECT Zpd FROM DOG WHERE IDDOG=(SELECT "
            "IDDOGDETAIL FROM DOGLNK DL, DOG D3 WHERE IDDOGMASTER=D.IDDOG AND SFLNK='R' AND "
            "DL.iddogdetail=D3.IdDOg AND D3.SfDog IN (%SfDogDvcOdt%))))))"),
        QStringLiteral("   OR ((DAVCNI_ODTEGLJAJ='D') AND (D.Dan=(SELECT Zpd FROM DOG WHERE IDDOG=(SELECT "
                       "IDDOGDETAIL FROM DOGLNK DL, DOG D3 WHERE IDDOGMASTER=D.IDDOG AND SFLNK='R' AND "
                       "DL.iddogdetail=D3.IdDOg AND D3.SfDog IN (%SfDogDvcOdt%))))"),
        QStringLiteral("))) as Status, K.SFKpn, V.KRT AS SFVP"),
        QStringLiteral(
            "from DOG D LEFT OUTER JOIN KPN K ON D.SFKPN=K.SFKPN LEFT OUTER JOIN SFVP V ON D.SFVP=V.SFVP"),
        QStringLiteral("JOIN POG P ON D.IDPOG=P.IDPOG JOIN OSB O ON P.SFOSB=O.SFOSB LEFT OUTER JOIN DRZ R ON "
                       "R.SFDRZ = NVL(O.SfDrzDvk, O.SFDRZ)"),
        QStringLiteral("where DAN>=:DatumOd AND Dan<=:DatumDo and SfPDG in ('=','@')"),
        QStringLiteral("AND D.IDDOG IN (select ID_DOG FROM REK2_DOG WHERE DURS_ID_DOK IS NULL AND XML_FILE "
                       "IS NULL AND DAVCNI_ODTEGLJAJ=(CASE WHEN (((EXISTS(SELECT IDDOGDETAIL FROM DOGLNK DL, "
                       "DOG D3 WHERE IDDOGMASTER=D.IDDOG AND SFLNK='R' AND DL.iddogdetail=D3.IdDOg AND "
                       "D3.SfDog IN (%SfDogDvcOdt%))) AND (D.Dan<>(SELECT Zpd FROM DOG WHERE IDDOG=(SELECT "
                       "IDDOGDETAIL FROM DOGLNK DL, DOG D3 WHERE IDDOGMASTER=D.IDDOG AND SFLNK='R' AND "
                       "DL.iddogdetail=D3.IdDOg AND D3.SfDog IN (%SfDogDvcOdt%))))) OR (NOT EXISTS(SELECT "
                       "IDDOGDETAIL FROM DOGLNK DL, DOG D3 WHERE IDDOGMASTER=D.IDDOG AND SFLNK='R' AND "
                       "DL.iddogdetail=D3.IdDOg AND D3.SfDog IN (%SfDogDvcOdt%)))) THEN 'N' ELSE 'D' END))"),
        QStringLiteral("AND O.SFSOS='F'"),
        QStringLiteral(
            "AND D.IDDOG NOT IN (select ID_DOG from REK2_DOG WHERE ID_REK2_ANAL>0 AND "
            "DAVCNI_ODTEGLJAJ=NVL((CASE WHEN D.Dan<>(SELECT Zpd FROM DOG WHERE IDDOG=(SELECT IDDOGDETAIL "
            "FROM DOGLNK DL, DOG D3 WHERE IDDOGMASTER=D.IDDOG AND SFLNK='R' AND DL.iddogdetail=D3.IdDOg AND "
            "D3.SfDog IN (%SfDogDvcOdt%))) THEN 'N' WHEN (SELECT Zpd FROM DOG WHERE IDDOG=(SELECT "
            "IDDOGDETAIL FROM DOGLNK DL, DOG D3 WHERE IDDOGMASTER=D.IDDOG AND SFLNK='R' AND "
            "DL.iddogdetail=D3.IdDOg AND D3.SfDog IN (%SfDogDvcOdt%))) IS NULL THEN 'N' ELSE 'D' END),'N'))"),
        QStringLiteral("UNION ALL"),
        QStringLiteral("select O.DVS, '' as IdentSt, O.IME||' '||O.NZV as OsbNzv, O.Ime AS OsbIme, O.NZV AS "
                       "OsbPriimek,"),
        QStringLiteral(
            "(CASE WHEN NVL(O.SfDrzDvk, O.SFDRZ) = 'S' THEN 'R' ELSE 'N' END) as Rezident, R.SFDRZBNK,"),
        QStringLiteral("1 as ugodMedPog,"),
        QStringLiteral("(CASE WHEN K.SfObr='D' THEN '5700' WHEN (V.KRT='SOS2E' OR V.KRT='SOS2E_S') THEN "
                       "'5600' ELSE '5400' END) as OznDog,"),
        QStringLiteral("(CASE WHEN D.SFGLVENT='%' THEN"),
        QStringLiteral(
            "    (SELECT ((OBRVLT+REVVLT)*D.LOT)/D.TCJVLT FROM DOG WHERE IDDOG=D.IDDOGGOT and SFPDG='O')"),
        QStringLiteral("  ELSE"),
        QStringLiteral("    ((D.LOT*K.OBROBRBRT)/D.TCJVLT) END) as BrutoZnesekDividende,"),
        QStringLiteral(
            "(SELECT CASE WHEN SfVpGot = :SfVpGotEUR THEN -Got ELSE ABS(ROUND(Lot, 2)/TcjVlt) END FROM DOG "
            "WHERE IDDOG=(SELECT IDDOGDETAIL FROM DOGLNK DL, DOG D3 WHERE IDDOGMASTER=D.IDDOG AND SFLNK='R' "
            "AND DL.iddogdetail=D3.IdDOg AND D3.SfDog IN (%SfDogDvcOdt%))) as Dav_Odt,"),
        QStringLiteral(
            "(SELECT CASE WHEN SfVpGot = :SfVpGotEUR THEN -Got ELSE ABS(ROUND(Lot, 2)/TcjVlt) END FROM DOG "
            "WHERE IDDOG=(SELECT IDDOGDETAIL FROM DOGLNK DL, DOG D3 WHERE IDDOGMASTER=D.IDDOG AND SFLNK='R' "
            "AND DL.iddogdetail=D3.IdDOg AND D3.SfDog IN (%SfDogDvcOdt%))) as Dav_Odt2,"),
        QStringLiteral("(CASE WHEN D.SFGLVENT='%' THEN"),
        QStringLiteral("    (SELECT ((OBRVLT+REVVLT)*D.LOT)/D.TCJVLT FROM DOG WHERE IDDOG=D.IDDOGGOT and "
                       "SFPDG='O')*(SELECT STOPNJA/100 FROM DVK_STP WHERE SFDRZ='S' AND DAN=(SELECT MAX(DAN) "
                       "FROM DVK_STP WHERE SFDRZ='S' AND DAN<=d.dan AND TIP=k.sfobr) AND TIP=k.sfobr)"),
        QStringLiteral("  ELSE"),
        QStringLiteral("    ((D.LOT*K.OBROBRBRT)/D.TCJVLT)*(SELECT STOPNJA/100 FROM DVK_STP WHERE SFDRZ='S' "
                       "AND DAN=(SELECT MAX(DAN) FROM DVK_STP WHERE SFDRZ='S' AND DAN<=d.dan AND "
                       "TIP=k.sfobr) AND TIP=k.sfobr) END) as Davek20P,"),
        QStringLiteral("NVL((SELECT ABS(Lot/TcjVlt) FROM DOG WHERE IDDOG=(SELECT IDDOGDETAIL FROM DOGLNK DL, "
                       "DOG D3 WHERE IDDOGMASTER=D.IDDOG AND SFLNK='R' AND DL.iddogdetail=D3.IdDOg AND "
                       "D3.SfDog IN (%SfDogDvcOdt%))),0) as DavekTuji,"),
        QStringLiteral("(CASE WHEN K.SfObr='D' THEN '1920' WHEN (V.KRT='SOS2E' OR V.KRT='SOS2E_S') THEN "
                       "'1902' ELSE '1901' END) as VrsDoh,"),
        QStringLiteral("D.Dan, (SELECT Zpd FROM DOG WHERE IDDOG=(SELECT IDDOGDETAIL FROM DOGLNK DL, DOG D3 "
                       "WHERE IDDOGMASTER=D.IDDOG AND SFLNK='R' AND DL.iddogdetail=D3.IdDOg AND D3.SfDog IN "
                       "(%SfDogDvcOdt%))) as DanDavOdt,"),
        QStringLiteral(
            "(select STATUS FROM REK2_DOG WHERE DURS_ID_DOK IS NULL AND XML_FILE IS NULL AND ID_DOG=D.IDDOG "
            "and DAVCNI_ODTEGLJAJ='D' AND (D.Dan<>(SELECT Zpd FROM DOG WHERE IDDOG=(SELECT IDDOGDETAIL FROM "
            "DOGLNK DL, DOG D3 WHERE IDDOGMASTER=D.IDDOG AND SFLNK='R' AND DL.iddogdetail=D3.IdDOg AND "
            "D3.SfDog IN (%SfDogDvcOdt%))))) as Status, K.SFKpn, V.KRT AS SFVP"),
        QStringLiteral(
            "from DOG D LEFT OUTER JOIN KPN K ON D.SFKPN=K.SFKPN LEFT OUTER JOIN SFVP V ON D.SFVP=V.SFVP"),
        QStringLiteral("JOIN POG P ON D.IDPOG=P.IDPOG JOIN OSB O ON P.SFOSB=O.SFOSB LEFT OUTER JOIN DRZ R ON "
                       "R.SFDRZ = NVL(O.SfDrzDvk, O.SFDRZ)"),
        QStringLiteral("where D.IdDOG IN ((SELECT R1.ID_DOG FROM REK2_DOG R1 JOIN DOGLNK DL1 ON "
                       "R1.ID_DOG=DL1.IDDOGMASTER"),
        QStringLiteral("  JOIN DOG D1 ON D1.IDDOG=DL1.IDDOGDETAIL"),
        QStringLiteral("  JOIN DOG D2 ON D2.IDDOG=DL1.IDDOGMASTER"),
        QStringLiteral("  WHERE D1.ZPD>=:DatumOd AND D1.ZPD<=:DatumDo"),
        QStringLiteral("  AND R1.DAVCNI_ODTEGLJAJ='D' AND D1.ZPD<>D2.Dan))"),
        QStringLiteral("AND O.SFSOS='F'"),
        QStringLiteral("AND D.IDDOG NOT IN (select ID_DOG from REK2_DOG WHERE ID_REK2_ANAL>0 AND "
                       "DAVCNI_ODTEGLJAJ='D' AND (D.Dan<>(SELECT Zpd FROM DOG WHERE IDDOG=(SELECT "
                       "IDDOGDETAIL FROM DOGLNK DL, DOG D3 WHERE IDDOGMASTER=D.IDDOG AND SFLNK='R' AND "
                       "DL.iddogdetail=D3.IdDOg AND D3.SfDog IN (%SfDogDvcOdt%)))))"),
        QStringLiteral(")"),
        QStringLiteral("GROUP BY DVS, IdentSt, OsbNzv, OsbIme, OsbPriimek, Rezident, SFDRZBNK, ugodMedPog, "
                       "OznDog, VrsDoh, Dan, DanDavOdt, Status, SFKpn, SFVP) A"),
        QStringLiteral(
            "where NOT EXISTS(select * from REK2_ANAL WHERE (DVS=A.DVS OR (DVS IS NULL AND A.DVS IS NULL)) "
            "AND (IDENT_ST=A.IdentSt OR (IDENT_ST IS NULL AND A.IdentSt IS NULL)) AND NAZIV=A.OsbNzv AND "
            "(IME=A.OsbIme OR (IME IS NULL AND A.OsbIme IS NULL)) AND (PRIIMEK=A.OsbPriimek OR (PRIIMEK IS "
            "NULL AND A.OsbPriimek IS NULL)) AND REZ=A.Rezident"),
        QStringLiteral(
            "AND (DRZ=A.SFDRZBNK OR (DRZ IS NULL AND A.SFDRZBNK IS NULL)) AND UGO_MED_POG=A.ugodMedPog AND "
            "SIF_SFDOH=A.OznDog AND SIF_VRSTE_DOH=A.VrsDoh AND DATUM_IZP_DIV=A.DAN"),
        QStringLiteral(
            "AND (Datum_PLC_DVK=A.DanDavOdt OR (Datum_PLC_DVK IS NULL AND A.DanDavOdt IS NULL)) AND "
            "(STATUS=A.Status OR (STATUS IS NULL AND A.Status IS NULL)) AND (SFKPN=A.SFKPN OR (SFKPN IS NULL "
            "AND A.SFKPN IS NULL)) AND (SFVP=A.SFVP OR (SFVP IS NULL AND A.SFVP IS NULL)))"),
    };
    return lines;
}

const QStringList& odsNaborREK2()
{
    static const QStringList lines = {
        QStringLiteral("select A.*, A.ROWID FROM REK2_ANAL A"),
        QStringLiteral("WHERE ((DATUM_IZP_DIV>=:DatumOd AND DATUM_IZP_DIV<=:DatumDo AND ((DATUM_PLC_DVK IS "
                       "NULL OR (DATUM_IZP_DIV=DATUM_PLC_DVK))))"),
        QStringLiteral("OR (DATUM_PLC_DVK>=:DatumOd AND DATUM_PLC_DVK<=:DatumDo))"),
        QStringLiteral("ORDER BY DATUM_IZP_DIV, DATUM_PLC_DVK, SFKPN, SFVP, SIF_VRSTE_DOH"),
    };
    return lines;
}

QString cleanupAnalSql()
{
    return QStringLiteral(
        " delete from rek2_ANAL WHERE ID_REK2_ANAL in (select R.ID_REK2_ANAL from rek2_DOG R where NOT "
        "EXISTS(select iddog from dog D where D.IDDOG=R.id_dog) and nvl(length(R.durs_id_dok), 0) = 0) ");
}

QString cleanupDogSql()
{
    return QStringLiteral(
        " delete from rek2_dog R where NOT EXISTS(select D.iddog from dog D where D.IDDOG=R.id_dog) and "
        "nvl(length(R.durs_id_dok), 0) = 0 ");
}

QString vanishedLinkSql()
{
    return QStringLiteral(
        "select 1 from rek2_DOG R where nvl(length(R.durs_id_dok), 0) = 0 and NOT EXISTS(select iddog from "
        "dog D where D.IDDOG=R.id_dog)");
}

QString residenceFilter(const Settings& s)
{
    if (s.T2S && !s.FHasBrutoDiv)
        return QString();
    if (s.FREK_5700_neRez)
        return QStringLiteral(
            " AND ((NVL(O.SfDrzDvk, O.SFDRZ)='S') OR ((K.SfObr='D') AND (NVL(O.SfDrzDvk, O.SFDRZ)<>'S'))) ");
    return QStringLiteral(" AND NVL(O.SfDrzDvk, O.SFDRZ)='S' ");
}

QString eventPersonFilter(const Settings& s)
{
    if (!s.T2S)
        return QStringLiteral("O.SFSOS='F'");
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("((") + crlf +
           QStringLiteral(
               "((O.SfSos = 'F') AND D.SfVp IN (SELECT S.SfVp FROM SFVP S JOIN OSB OI ON OI.SfOsb = "
               "S.SfOsbIzd WHERE S.SfVp = D.SfVp AND NVL(OI.SfDrzDvk, OI.SfDrz) = 'S'))") +
           crlf + QStringLiteral(" OR ") +
           QStringLiteral(
               "((O.SfSos = 'F' AND NVL(O.SfDrzDvk, O.SfDrz) = 'S') AND D.SfVp IN (SELECT S.SfVp FROM "
               "SFVP S JOIN OSB OI ON OI.SfOsb = S.SfOsbIzd WHERE S.SfVp = D.SfVp AND "
               "NVL(OI.SfDrzDvk, OI.SfDrz) <> 'S'))") +
           crlf + QStringLiteral(")") + crlf + QStringLiteral(" AND NVL(D.DavekStatus, 'D') <> '0'") +
           QStringLiteral(")") + crlf +
           QStringLiteral(" AND EXISTS(SELECT L.IdDogMaster FROM DOGLNK L WHERE L.IdDogMaster = D.IdDog AND "
                          "L.SfLnk = 'R')") +
           crlf;
}

QString analyticPersonFilter(const Settings& s)
{
    return s.T2S ? QStringLiteral(" OR NVL(O.SfDrzDvk, O.SFDRZ) <> 'S'") : QString();
}

QString fill(const QStringList& lines, const QList<std::pair<QString, QString>>& values)
{
    QString text = lines.join(QLatin1Char('\n'));
    for (const auto& [name, value] : values)
        text.replace(name, value, Qt::CaseSensitive);
    return text;
}

QString eventStatement(const Settings& s)
{
    if (s.FHasBrutoDiv)
        return fill(qREK2_DOG(), {{QStringLiteral("%OSB.SFDRZ%"), residenceFilter(s)},
                                  {QStringLiteral("%SfDogDvcOdt%"), s.SfDogDvcOdt}});
    return fill(qREK2_DOG_BrezBrutoDiv(), {{QStringLiteral("%OSB.SFDRZ%"), residenceFilter(s)},
                                           {QStringLiteral("%SFSOS%"), eventPersonFilter(s)}});
}

QString analyticStatement(const Settings& s)
{
    if (s.FHasBrutoDiv)
        return fill(qNabor(), {{QStringLiteral("%SfDogDvcOdt%"), s.SfDogDvcOdt}});
    return fill(qNabor_BrezBrutoDiv(), {{QStringLiteral("%SFSOS%"), analyticPersonFilter(s)}});
}

// The link update as Oracle runs it (alias K names both REK2_DOG and KPN;
// Oracle resolves each column to the one table that has it). Compared with
// the text the system first had, the inner row set takes the person and the
// reduced-rate mark by the rules of the variant that built the analytic rows,
// the person's keys are compared null-safely and include the foreign number
// and the name, and a tax link matches the row of its own tax date. Without
// that a recipient without a Slovenian tax number, or a coupon-less row, was
// never linked and was collected again on every run.
QString linkUpdateSql(const Settings& s, const QString& ids)
{
    const bool bruto = s.FHasBrutoDiv;
    QStringList l;
    l << QStringLiteral(
        " UPDATE REK2_DOG R SET R.ID_REK2_ANAL = (select A.ID_REK2_ANAL from REK2_ANAL A, (select "
        "D.IdDog, O.DVS, D.DAN, (SELECT ZPD FROM DOG WHERE ");
    if (bruto)
        l << QStringLiteral(
                 "   IDDOG=(SELECT DL.IDDOGDETAIL FROM DOGLNK DL, DOG D1 WHERE DL.IDDOGMASTER=D.IDDOG AND "
                 "DL.SFLNK='R' AND DL.IDDOGDETAIL=D1.IdDog AND D1.SfDog IN (") +
                 s.SfDogDvcOdt + QStringLiteral("))) as DanDavOdt, ");
    else
        l << QStringLiteral("   IDDOG=(SELECT DL.IDDOGDETAIL FROM DOGLNK DL WHERE DL.IDDOGMASTER=D.IDDOG AND "
                            "DL.SFLNK='R')) as DanDavOdt, ");
    l << QStringLiteral(" K.STatus, K.SfKpn, k.ID_REK2_ANAL, k.DAVCNI_ODTEGLJAJ, ");
    if (bruto)
        l << QStringLiteral("'' AS IdentSt, O.IME||' '||O.NZV AS OsbNzv, 'N' AS ZnizanaStopnja");
    else
        l << QStringLiteral("NVL(O.DvsTuj, O.DvsZDA) AS IdentSt, O.IME||' '||O.NZV AS OsbNzv, ") +
                 QStringLiteral(
                     "(CASE WHEN D.DavekRazpObr IS NOT NULL AND D.DavekRazp IS NOT NULL AND D.DavekRazpObr "
                     "< D.DavekRazp THEN 'D' ELSE 'N' END) AS ZnizanaStopnja");
    if (bruto)
        l << QStringLiteral(
            "   from REK2_DOG K JOIN DOG D ON K.Id_Dog=D.IdDOg JOIN POG P ON D.IdPog=P.IdPog JOIN OSB O "
            "ON O.SfOsb = P.SfOsb LEFT OUTER JOIN KPN K ON D.SFKPN=K.SFKPN ");
    else
        l << QStringLiteral(
            "   from REK2_DOG K JOIN DOG D ON K.Id_Dog=D.IdDOg JOIN POG P ON D.IdPog=P.IdPog JOIN OSB O "
            "ON O.SfOsb = NVL(D.SfOsbDvk, P.SfOsb) LEFT OUTER JOIN KPN K ON D.SFKPN=K.SFKPN ");
    l << QStringLiteral("   WHERE K.ID_REK2_ANAL=0 OR K.ID_REK2_ANAL IS NULL) B WHERE A.id_REK2_ZBIR IN (") +
             ids +
             QStringLiteral(
                 ") AND (A.DVS=B.DVS OR (A.DVS IS NULL AND B.DVS IS NULL)) AND A.DATUM_IZP_DIV=B.DAN AND "
                 "A.STATUS=B.Status AND (A.sfkpn=B.SFKpn OR (A.sfkpn IS NULL AND B.SFKpn IS NULL)) ");
    l << QStringLiteral("   AND (A.IDENT_ST=B.IdentSt OR (A.IDENT_ST IS NULL AND B.IdentSt IS NULL)) AND "
                        "A.NAZIV=B.OsbNzv ");
    l << QStringLiteral(
        "   AND B.IDDOG=R.ID_DOG AND B.DAVCNI_ODTEGLJAJ=R.DAVCNI_ODTEGLJAJ AND ((B.DAVCNI_ODTEGLJAJ='D' "
        "AND A.DATUM_PLC_DVK=B.DanDavOdt) OR (B.DAVCNI_ODTEGLJAJ='N' AND A.DATUM_PLC_DVK IS NULL)) ");
    l << QStringLiteral("AND B.ZnizanaStopnja = NVL(A.ZnizanaStopnja, 'N') )");
    l << QStringLiteral(" WHERE (R.ID_REK2_ANAL = 0 OR R.ID_REK2_ANAL IS NULL) ");
    return l.join(QLatin1Char('\n'));
}

QString duplicateCheckSql(const QString& ids)
{
    return QStringLiteral("SELECT DVS, COUNT(*) AS ST, ID_REK2_ZBIR FROM REK2_ANAL WHERE ID_REK2_ZBIR IN (") +
           ids + QStringLiteral(") AND DVS IS NOT NULL GROUP BY DVS, ID_REK2_ZBIR HAVING COUNT(*) > 1");
}

QString euroChangeoverSql()
{
    return QStringLiteral("SELECT DanOd, SfVpFrom FROM EUROOBD WHERE OZNAKA = 'ES'");
}

QString qTipSFKPN()
{
    return QStringLiteral("SELECT SFOBR FROM KPN WHERE SFKPN=:SFKPN");
}

QString qTipSFVP()
{
    return QStringLiteral("SELECT CASE SFGLVENT WHEN '%' THEN 'O' ELSE 'D' END  FROM SFVP WHERE KRT=:KRT");
}

const QStringList& qStopnja()
{
    static const QStringList lines = {
        QStringLiteral("SELECT STOPNJA FROM DVK_STP WHERE SFDRZ='S' AND"),
        QStringLiteral(
            "DAN=(SELECT MAX(DAN) FROM DVK_STP WHERE SFDRZ='S' AND DAN<=:DAN AND TIP=:TIP) AND TIP=:TIP"),
    };
    return lines;
}

// The sixth line was empty, which let the look-up take any matching history
// record, cancellations and earlier second parts included. Only a submitted
// first part counts, the most recently archived first.
const QStringList& odsZbirniDelni()
{
    static const QStringList lines = {
        QStringLiteral("select Z.*, Z.ROWID FROM REK2_Zbir_HST Z"),
        QStringLiteral("where Z.SIF_VRSTE_DOH=:SifVrsDoh"),
        QStringLiteral("AND Z.DATUM_IZP=:DatumIzp"),
        QStringLiteral("AND Z.SFVP=:SFVP"),
        QStringLiteral("AND Z.SFKPN=:SFKPN"),
        QStringLiteral(
            "AND Z.DURS_ID_DOK IS NOT NULL AND NVL(Z.CORRECTIONTYPE, 'O') NOT IN ('S', 'D') ORDER BY "
            "Z.CAS DESC, Z.ID_REK2_ZBIR DESC"),
    };
    return lines;
}

const QStringList& odsKupon()
{
    static const QStringList lines = {
        QStringLiteral("select S.KRT as SFVP, K.SFKPN, K.STKPN "),
        QStringLiteral("from kpn K, SFVP S"),
        QStringLiteral("WHERE K.SFVP=S.SFVP"),
    };
    return lines;
}

} // namespace rek2::collect
