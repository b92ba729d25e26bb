#include "db/sqlite/collect_statements.h"

#include "db/postgres/collect_statements.h"

#include "base/settings.h"
#include "collect/statements.h"
#include "db/query.h"
#include "db/session.h"

#include <QDate>

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

// The rate in force on `day` for coupon kind `kind` (null when none).
QString rateOf(const QString& day, const QString& kind)
{
    return QStringLiteral("(SELECT S.STOPNJA/100 FROM DVK_STP S WHERE S.SFDRZ='S' AND S.DAN=(SELECT "
                          "MAX(S2.DAN) FROM DVK_STP S2 WHERE S2.SFDRZ='S' AND S2.DAN<=") +
           day + QStringLiteral(" AND S2.TIP=") + kind + QStringLiteral(") AND S.TIP=") + kind +
           QStringLiteral(")");
}

// The kind of link a payout of the period is reported by: 'D' when its tax
// is paid on the payout day. (The payout day is never empty here.)
QString payoutKind()
{
    return QStringLiteral("(CASE WHEN W.ZPD=D.DAN THEN 'D' ELSE 'N' END)");
}

// Marks a payout of the period that is not to be reported: the grouped
// rows of that mark are left out. It is a number, and a status is text.
const char* const kNotReported = "-1";

// The status of a payout of the period, from its links read once: that of
// its first pending link of the kind it is reported by; kNotReported unless
// it has a pending link of the kind its withholding event gives ('N' without
// one, or when the tax is paid on another day; 'D' when it is paid that day
// or its date is unknown) and no link of its reporting kind is in a row yet.
// (With one min() the engine takes L.STATUS from the row of the minimum.)
QString payoutStatus(bool bruto)
{
    return QStringLiteral(
               "(SELECT CASE WHEN SUM(CASE WHEN L.DURS_ID_DOK IS NULL AND L.XML_FILE IS NULL AND "
               "L.DAVCNI_ODTEGLJAJ=(CASE WHEN W.IDDOG IS NOT NULL THEN (CASE WHEN D.DAN<>W.ZPD THEN 'N' "
               "ELSE 'D' END) WHEN ") +
           hasWithholding(bruto) +
           QStringLiteral(" THEN 'D' ELSE 'N' END) THEN 1 ELSE 0 END)>0 AND SUM(CASE WHEN L.ID_REK2_ANAL>0 "
                          "AND L.DAVCNI_ODTEGLJAJ=") +
           payoutKind() +
           QStringLiteral(" THEN 1 ELSE 0 END)=0 THEN (CASE WHEN MIN(CASE WHEN L.DAVCNI_ODTEGLJAJ=") +
           payoutKind() +
           QStringLiteral(
               " AND L.DURS_ID_DOK IS NULL AND L.XML_FILE IS NULL THEN L.ROWID END) IS NOT NULL THEN "
               "L.STATUS END) ELSE ") +
           QLatin1String(kNotReported) +
           QStringLiteral(" END FROM REK2_DOG L WHERE L.ID_DOG=D.IDDOG) AS Status");
}

// Columns of one payout event of one holder (the inner row).
QString innerColumns(bool bruto, bool laterPart)
{
    const QString gross = QStringLiteral(
        "(CASE WHEN D.SFGLVENT='%' THEN (SELECT ((G.OBRVLT+G.REVVLT)*D.LOT)/D.TCJVLT FROM DOG G WHERE "
        "G.IDDOG=D.IDDOGGOT AND G.SFPDG='O') ELSE ((D.LOT*K.OBROBRBRT)/D.TCJVLT) END)");
    // A payout of the period takes its rate from RT, worked out once per
    // coupon kind and day; a later tax payment's payout day lies outside the
    // period, so its rate is looked up per row.
    const QString rate =
        laterPart ? rateOf(QStringLiteral("D.DAN"), QStringLiteral("K.SFOBR")) : QStringLiteral("RT.R");
    const QString tax = QStringLiteral(
        "(CASE WHEN W.SFVPGOT = :SfVpGotEUR THEN -W.GOT ELSE ABS(ROUND(W.LOT, 2)/W.TCJVLT) END)");
    QStringList c;
    c << QStringLiteral("O.DVS AS DVS");
    c << (bruto ? QStringLiteral("NULL AS IdentSt") : QStringLiteral("NVL(O.DVSTUJ, O.DVSZDA) AS IdentSt"));
    c << QStringLiteral("O.IME AS OsbIme, O.NZV AS OsbPriimek");
    c << QStringLiteral(
        "(CASE WHEN NVL(O.SFDRZDVK, O.SFDRZ)='S' THEN 'R' ELSE 'N' END) AS Rezident, R.SFDRZBNK AS "
        "SFDRZBNK");
    if (!bruto) {
        c << QStringLiteral("I.SFDRZ AS SfDrzIzd");
        c << QStringLiteral(
            "(CASE WHEN D.DAVEKRAZPOBR IS NOT NULL AND D.DAVEKRAZP IS NOT NULL AND D.DAVEKRAZPOBR < "
            "D.DAVEKRAZP THEN 'D' ELSE 'N' END) AS ZnizanaStopnja");
    }
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
    c << QStringLiteral("D.DAN AS Dan");
    if (laterPart) {
        c << QStringLiteral("W.ZPD AS DanDavOdt");
        c << QStringLiteral(
            "(SELECT L.STATUS FROM REK2_DOG L WHERE L.DURS_ID_DOK IS NULL AND L.XML_FILE IS NULL AND "
            "L.ID_DOG=D.IDDOG AND L.DAVCNI_ODTEGLJAJ='D' AND D.DAN<>W.ZPD) AS Status");
    } else {
        c << QStringLiteral("(CASE WHEN D.DAN<>W.ZPD THEN NULL ELSE W.ZPD END) AS DanDavOdt");
        c << payoutStatus(bruto);
    }
    c << QStringLiteral("K.SFKPN AS SFKPN, V.KRT AS SFVP");
    return QStringLiteral("SELECT ") + c.join(QStringLiteral(", "));
}

QString innerFrom(bool bruto, bool laterPart)
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
    if (!laterPart)
        f += QStringLiteral(" LEFT OUTER JOIN RT ON RT.TIP=K.SFOBR AND RT.DAN=D.DAN");
    return f;
}

QString personFilter(bool bruto)
{
    return bruto ? QStringLiteral(" AND O.SFSOS='F'") : QStringLiteral(" AND (O.SFSOS='F' %SFSOS%)");
}

// Whether any payout of the period still has a link of the kind that
// payoutRows looks for per payout, asked once for the whole statement: when
// the day was collected before, every link is in its row and no payout's
// links are read at all. The links not yet in a row are found by their
// index, one range at a time (an OR of the two would gather them all first).
QString pendingPayoutLink()
{
    const QString link = QStringLiteral(
        "EXISTS(SELECT 1 FROM REK2_DOG LP WHERE %1 AND +LP.DURS_ID_DOK IS NULL AND +LP.XML_FILE IS NULL AND "
        "EXISTS(SELECT 1 FROM DOG DP WHERE DP.IDDOG=LP.ID_DOG AND DP.DAN>=:DatumOd AND DP.DAN<=:DatumDo AND "
        "DP.SFPDG IN ('=','@')))");
    return QStringLiteral(" AND (") + link.arg(QStringLiteral("LP.ID_REK2_ANAL IS NULL")) +
           QStringLiteral(" OR ") + link.arg(QStringLiteral("LP.ID_REK2_ANAL<=0")) + QStringLiteral(")");
}

QString payoutRows(bool bruto)
{
    return innerColumns(bruto, false) + innerFrom(bruto, false) +
           QStringLiteral(" WHERE D.DAN>=:DatumOd AND D.DAN<=:DatumDo AND D.SFPDG IN ('=','@')") +
           // Asked before the payout's own links are read.
           pendingPayoutLink() +
           QStringLiteral(
               // Follows from the tests of the links in payoutStatus (a
               // pending link of the right kind that is in no row yet), but
               // needs only the payout: a payout already in its row is passed
               // over before its holder and withholding event are joined.
               " AND EXISTS(SELECT 1 FROM REK2_DOG L0 WHERE L0.ID_DOG=D.IDDOG AND L0.DURS_ID_DOK IS NULL AND "
               "L0.XML_FILE IS NULL AND (L0.ID_REK2_ANAL IS NULL OR L0.ID_REK2_ANAL<=0))") +
           personFilter(bruto);
}

QString laterRows(bool bruto)
{
    // The Oracle text's list (a payout with a 'D' link and a link of any
    // kind to an event paid in the period on another day) from the later
    // links found before the statement.
    return innerColumns(bruto, true) + innerFrom(bruto, true) +
           QStringLiteral(" WHERE D.IDDOG IN (SELECT R1.ID_DOG FROM temp.REK2_LATER LL JOIN REK2_DOG R1 ON "
                          "R1.ID_DOG=LL.IDDOGMASTER WHERE R1.DAVCNI_ODTEGLJAJ='D')") +
           personFilter(bruto) +
           QStringLiteral(
               " AND NOT EXISTS(SELECT 1 FROM REK2_DOG L WHERE L.ID_DOG=D.IDDOG AND L.ID_REK2_ANAL>0 AND "
               "L.DAVCNI_ODTEGLJAJ='D' AND D.DAN<>W.ZPD)");
}

// The withholding event of a payout as a value, with Oracle's error when
// the payout has two such links.
QString singleWithholdingId(bool bruto)
{
    if (bruto)
        return QStringLiteral(
            "(SELECT rek2_single(DL3.IDDOGDETAIL) FROM DOGLNK DL3, DOG D3 WHERE DL3.IDDOGMASTER=D.IDDOG AND "
            "DL3.SFLNK='R' AND DL3.IDDOGDETAIL=D3.IDDOG AND D3.SFDOG IN (%SfDogDvcOdt%))");
    return QStringLiteral(
        "(SELECT rek2_single(DL3.IDDOGDETAIL) FROM DOGLNK DL3 WHERE DL3.IDDOGMASTER=D.IDDOG AND "
        "DL3.SFLNK='R')");
}

// One part of the event statement: the links a selection of payouts gets.
// The withholding event is joined once as W; the kind of link it gives is
// worked out from W, for the new row and for the "already linked" test.
QString eventPart(bool bruto, const QString& kind, const QString& joins, const QString& where)
{
    return QStringLiteral("SELECT 0, D.IDDOG, NULL, NULL, 'O', ") + kind +
           QStringLiteral(" FROM DOG D LEFT OUTER JOIN KPN K ON D.SFKPN=K.SFKPN LEFT OUTER JOIN SFVP V ON "
                          "D.SFVP=V.SFVP JOIN POG P ON D.IDPOG=P.IDPOG") +
           (bruto ? QStringLiteral(" JOIN OSB O ON P.SFOSB=O.SFOSB")
                  : QStringLiteral(" JOIN OSB O ON O.SFOSB = NVL(D.SFOSBDVK, P.SFOSB)")) +
           QStringLiteral(" LEFT OUTER JOIN DRZ R ON R.SFDRZ = NVL(O.SFDRZDVK, O.SFDRZ)") + joins +
           QStringLiteral(" LEFT OUTER JOIN DOG W ON W.IDDOG = ") + singleWithholdingId(bruto) +
           QStringLiteral(" WHERE ") + where +
           QStringLiteral(" AND NOT EXISTS(SELECT 1 FROM REK2_DOG A WHERE A.ID_DOG=D.IDDOG AND "
                          "A.DAVCNI_ODTEGLJAJ=") +
           kind + QStringLiteral(")");
}

} // namespace

void collectLaterLinks(Session& session, const QDate& from, const QDate& to)
{
    const bool postgres = session.engine() == postgres::kEngine;
    if (session.engine() != kEngine && !postgres)
        return;
    // PostgreSQL's temporary table takes the types of the links' columns.
    session.executeDirect(
        postgres ? QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS REK2_LATER AS SELECT IDDOGMASTER, "
                                  "IDDOGDETAIL, SFLNK FROM DOGLNK WITH NO DATA")
                 : QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS REK2_LATER (IDDOGMASTER INTEGER, "
                                  "IDDOGDETAIL INTEGER, SFLNK TEXT)"));
    const QString table = postgres ? QStringLiteral("pg_temp.REK2_LATER") : QStringLiteral("temp.REK2_LATER");
    session.executeDirect(QStringLiteral("DELETE FROM ") + table);
    const QString fill = QStringLiteral("INSERT INTO ") + table +
                         QStringLiteral(
                             " SELECT DL.IDDOGMASTER, DL.IDDOGDETAIL, DL.SFLNK "
                             "FROM DOG D1 JOIN DOGLNK DL ON DL.IDDOGDETAIL=D1.IDDOG JOIN DOG D2 ON "
                             "D2.IDDOG=DL.IDDOGMASTER WHERE D1.ZPD>=:DatumOd AND D1.ZPD<=:DatumDo AND D1.ZPD<>D2.DAN");
    Query q;
    q.SetSession(&session);
    q.SQL = QStringList{fill};
    q.SetEngineSQL(session.engine(), {fill});
    q.DeclareAndSet(QStringLiteral("DatumOd"), VarType::Date, from);
    q.DeclareAndSet(QStringLiteral("DatumDo"), VarType::Date, to);
    q.Execute();
}

QString eventStatement(const Settings& s)
{
    const bool bruto = s.FHasBrutoDiv;
    const QString person = bruto ? QStringLiteral("O.SFSOS='F'") : QStringLiteral("(%SFSOS%)");
    const QString paid = bruto ? QString() : QStringLiteral(" AND ABS(NVL(D.OBRVLT, 0)) > 0.00000001");
    // Later tax payments: the 'R' link's event is paid in the period, on
    // another day than the payout. Such a payout is among the later links
    // found before the statement; only those are read.
    const QString later = eventPart(
        bruto,
        QStringLiteral("(CASE WHEN W.IDDOG IS NULL THEN NULL WHEN ABS(W.LOT)>0 THEN 'D' ELSE 'N' END)"),
        QStringLiteral(" LEFT OUTER JOIN DOGLNK DL ON (D.IDDOG=DL.IDDOGMASTER AND DL.SFLNK='R') JOIN DOG D2 "
                       "ON DL.IDDOGDETAIL=D2.IDDOG"),
        QStringLiteral("D.IDDOG IN (SELECT LL.IDDOGMASTER FROM temp.REK2_LATER LL WHERE LL.SFLNK='R') AND ") +
            person +
            QStringLiteral(" %OSB.SFDRZ% AND D2.ZPD>=:DatumOd AND D2.ZPD<=:DatumDo AND D.DAN<>D2.ZPD") +
            paid);
    // Payouts of the period: 'D' when the tax is paid on the payout day.
    const QString payouts = eventPart(
        bruto, QStringLiteral("(CASE WHEN W.IDDOG IS NOT NULL AND D.DAN=W.ZPD THEN 'D' ELSE 'N' END)"),
        QString(),
        QStringLiteral("D.DAN>=:DatumOd AND D.DAN<=:DatumDo AND D.SFPDG IN ('=','@') AND ") + person +
            QStringLiteral(" %OSB.SFDRZ%") + paid);
    const QString text =
        QStringLiteral("INSERT INTO REK2_DOG ") + later + QStringLiteral("\nUNION ALL\n") + payouts;
    if (bruto)
        return fill({text}, {{QStringLiteral("%OSB.SFDRZ%"), residenceFilter(s)},
                             {QStringLiteral("%SfDogDvcOdt%"), s.SfDogDvcOdt}});
    return fill({text}, {{QStringLiteral("%OSB.SFDRZ%"), residenceFilter(s)},
                         {QStringLiteral("%SFSOS%"), eventPersonFilter(s)}});
}

namespace {

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

QStringList analyticGroupingColumns()
{
    return {QStringLiteral("SFKPN"),    QStringLiteral("DanDavOdt"), QStringLiteral("DVS"),
            QStringLiteral("IdentSt"),  QStringLiteral("OsbIme"),    QStringLiteral("OsbPriimek"),
            QStringLiteral("Rezident"), QStringLiteral("SFDRZBNK"),  QStringLiteral("OznDog"),
            QStringLiteral("Dan"),      QStringLiteral("Status"),    QStringLiteral("SFVP")};
}

QString analyticStatement(const Settings& s)
{
    const bool bruto = s.FHasBrutoDiv;
    // The grouped rows (A) are read once. They are grouped by the columns
    // that tell rows apart: the full name, the income code and the constant
    // mark follow from the first and last name and from the payout code, so
    // they are worked out once per group instead of being carried through
    // the sort (the income code is 1920, 1902, 1901 where the payout code is
    // 5700, 5600, 5400: both come from the coupon's kind and the security).
    // The coupon and the tax day come first: the rows are inserted in that
    // order, so the rows of one summary (nearly always one coupon, with or
    // without a tax day) lie together in the table, and moving them to their
    // summary, one transaction per summary, writes their own pages instead of
    // nearly every page of the day's rows each time (a 100,000-holder day:
    // 0.73 s down to 0.25 s). Only these two lead: each further column
    // that is equal within a summary makes the sort's comparisons dearer.
    // Within a summary the rows keep the order they had.
    QStringList l;
    // The rate of each coupon kind on each day of the period, worked out once
    // instead of twice per payout.
    l << QStringLiteral("WITH RT AS MATERIALIZED (SELECT T.TIP, X.DAN, ") +
             rateOf(QStringLiteral("X.DAN"), QStringLiteral("T.TIP")) +
             QStringLiteral(
                 " AS R FROM (SELECT DISTINCT TIP FROM DVK_STP WHERE SFDRZ='S') T, (SELECT DISTINCT "
                 "DAN FROM DOG WHERE DAN>=:DatumOd AND DAN<=:DatumDo) X),");
    l << QStringLiteral("A AS MATERIALIZED (");
    l << QStringLiteral(
        "SELECT 0 AS IdZbir, '0' AS Id, DVS, IdentSt, IFNULL(OsbIme, '')||' '||IFNULL(OsbPriimek, '') AS "
        "OsbNzv, Rezident, SFDRZBNK, 1 AS ugodMedPog, OznDog, "
        "ROUND(SUM(BrutoZnesekDividende), 2) AS BrutoZnesekDividende, SUM(Dav_Odt) AS Dav_Odt, "
        "SUM(Dav_Odt2) AS Dav_Odt2,");
    if (bruto)
        l << credit() + QStringLiteral(" AS DavekTuji,");
    else
        l << QStringLiteral("(CASE WHEN NVL(SfDrzIzd, 'X') = 'S' THEN 0 ELSE ") + credit() +
                 QStringLiteral(" END) AS DavekTuji,");
    l << QStringLiteral("(CASE OznDog WHEN '5700' THEN '1920' WHEN '5600' THEN '1902' ELSE '1901' END) AS "
                        "VrsDoh, Dan, DanDavOdt, Status, SFKPN, SFVP, OsbIme, OsbPriimek") +
             (bruto ? QString() : QStringLiteral(", ZnizanaStopnja"));
    l << QStringLiteral("FROM (");
    l << payoutRows(bruto);
    l << QStringLiteral("UNION ALL");
    l << laterRows(bruto);
    l << QStringLiteral(")");
    l << QStringLiteral("GROUP BY ") + analyticGroupingColumns().join(QStringLiteral(", ")) +
             (bruto ? QString() : QStringLiteral(", ZnizanaStopnja, SfDrzIzd")) +
             QStringLiteral(" HAVING Status IS NOT ") + QLatin1String(kNotReported) + QStringLiteral(")");
    l << QStringLiteral(
             "INSERT INTO REK2_ANAL (ID_REK2_ANAL, ID_REK2_ZBIR, DURS_ID_DOK, DVS, IDENT_ST, NAZIV, REZ, "
             "DRZ, UGO_MED_POG, SIF_SFDOH, BRUTO, DAV_ODT_OBR, DAV_ODT_PLC, DAV_ODT_ODB_TUJ, "
             "SIF_VRSTE_DOH, DATUM_IZP_DIV, DATUM_PLC_DVK, STATUS, SFKPN, SFVP, IME, PRIIMEK") +
             (bruto ? QString() : QStringLiteral(", ZNIZANASTOPNJA")) + QStringLiteral(")");
    l << QStringLiteral("SELECT rek2_nextval('ID_REK2_ANAL_SEQ'), A.* FROM A");
    // A row already there is looked for by the recipient's tax number only:
    // the payout day's index (the unary + keeps the engine off it, and off
    // the tax day's and the coupon's) would read every row of a large
    // dividend day for each new row.
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
        QStringLiteral("+X.DATUM_IZP_DIV=A.Dan"),
        nullSafe(QStringLiteral("+X.DATUM_PLC_DVK"), QStringLiteral("A.DanDavOdt")),
        nullSafe(QStringLiteral("X.STATUS"), QStringLiteral("A.Status")),
        nullSafe(QStringLiteral("+X.SFKPN"), QStringLiteral("A.SFKPN")),
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

QStringList regroupSource(const QStringList& oracleText)
{
    return {
        QStringLiteral("select A.ID_REK2_ANAL, A.ID_REK2_ZBIR, A.DVS, A.SFKPN, A.SFVP, A.SIF_VRSTE_DOH, "
                       "A.DATUM_IZP_DIV, A.DATUM_PLC_DVK, A.REZ, A.ZNIZANASTOPNJA, A.BRUTO, A.DAV_ODT_OBR, "
                       "A.DAV_ODT_ODB_TUJ, A.ROWID FROM REK2_ANAL A"),
        oracleText.value(1), oracleText.value(2)};
}

std::vector<OrderKey> regroupSourceOrder()
{
    return {{QStringLiteral("DATUM_IZP_DIV"), true}, {QStringLiteral("DATUM_PLC_DVK"), true},
            {QStringLiteral("SFKPN"), true},         {QStringLiteral("SFVP"), true},
            {QStringLiteral("SIF_VRSTE_DOH"), true}, {QStringLiteral("ID_REK2_ANAL"), false}};
}

QString reassignRows()
{
    return QStringLiteral(
        "UPDATE REK2_ANAL SET ID_REK2_ZBIR=:ID_REK2_ZBIR WHERE ID_REK2_ANAL IN (SELECT value "
        "FROM json_each(:IDS))");
}

} // namespace rek2::collect::sqlite
