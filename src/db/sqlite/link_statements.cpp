// The link step's statements: matching the links still unlinked to the
// analytic rows of a collection's summaries. Kept apart from the collection's
// other statements: the XML run asks the same matching whether a collection
// left links unlinked.
#include "db/sqlite/collect_statements.h"

#include "base/settings.h"

namespace rek2::collect::sqlite {

namespace {

// The links still unlinked, each with what it is matched on: the person
// (tax number, foreign number and name), payout date, status, coupon, the
// tax date of a tax link and the reduced-rate mark, by the rules of the
// variant that built the analytic rows.
QString unlinked(const Settings& s, bool materialized)
{
    const bool bruto = s.FHasBrutoDiv;
    const QString taxDay =
        bruto ? QStringLiteral(
                    "(SELECT W.ZPD FROM DOGLNK DL, DOG W WHERE DL.IDDOGMASTER=D.IDDOG AND DL.SFLNK='R' AND "
                    "DL.IDDOGDETAIL=W.IDDOG AND W.SFDOG IN (") +
                    s.SfDogDvcOdt + QStringLiteral("))")
              : QStringLiteral(
                    "(SELECT W.ZPD FROM DOGLNK DL, DOG W WHERE DL.IDDOGMASTER=D.IDDOG AND DL.SFLNK='R' AND "
                    "DL.IDDOGDETAIL=W.IDDOG)");
    QStringList l;
    l << QStringLiteral("WITH LK AS ") + (materialized ? QStringLiteral("MATERIALIZED ") : QString()) +
             QStringLiteral("(SELECT L.ROWID AS RID, L.ID_DOG, L.STATUS, L.DAVCNI_ODTEGLJAJ AS KIND, D.DAN, "
                            "O.DVS,");
    l << (bruto ? QStringLiteral("NULL AS IDENT_ST,")
                : QStringLiteral("NVL(O.DVSTUJ, O.DVSZDA) AS IDENT_ST,"));
    l << QStringLiteral("IFNULL(O.IME, '')||' '||IFNULL(O.NZV, '') AS NAZIV, KP.SFKPN,");
    l << QStringLiteral("(CASE WHEN L.DAVCNI_ODTEGLJAJ='D' THEN ") + taxDay + QStringLiteral(" END) AS PLC,");
    l << (bruto ? QStringLiteral("'N' AS ZNIZ")
                : QStringLiteral("(CASE WHEN D.DAVEKRAZPOBR IS NOT NULL AND D.DAVEKRAZP IS NOT NULL AND "
                                 "D.DAVEKRAZPOBR < D.DAVEKRAZP THEN 'D' ELSE 'N' END) AS ZNIZ"));
    l << QStringLiteral("FROM REK2_DOG L JOIN DOG D ON D.IDDOG=L.ID_DOG JOIN POG P ON D.IDPOG=P.IDPOG");
    l << (bruto ? QStringLiteral("JOIN OSB O ON O.SFOSB = P.SFOSB")
                : QStringLiteral("JOIN OSB O ON O.SFOSB = NVL(D.SFOSBDVK, P.SFOSB)"));
    l << QStringLiteral("LEFT OUTER JOIN KPN KP ON D.SFKPN=KP.SFKPN");
    l << QStringLiteral("WHERE L.ID_REK2_ANAL=0 OR L.ID_REK2_ANAL IS NULL),");
    return l.join(QLatin1Char('\n'));
}

// A link goes to the row (alias `a`) with the same person (tax number,
// foreign number and name, null-safe), payout date, status and coupon; a
// tax link to the row of its own tax date, a payout link to the row without
// one; same reduced-rate mark (`mark`, the row's).
QString sameAsLink(const QString& a, const QString& mark)
{
    return a + QStringLiteral(".NAZIV=LK.NAZIV AND +") + a + QStringLiteral(".DATUM_IZP_DIV=LK.DAN AND ") +
           a + QStringLiteral(".IDENT_ST IS LK.IDENT_ST AND +") + a +
           QStringLiteral(".SFKPN IS LK.SFKPN AND ") + a + QStringLiteral(".STATUS=LK.STATUS AND ") + mark +
           QStringLiteral("=LK.ZNIZ AND ((LK.KIND='D' AND +") + a +
           QStringLiteral(".DATUM_PLC_DVK=LK.PLC) OR (LK.KIND='N' AND +") + a +
           QStringLiteral(".DATUM_PLC_DVK IS NULL))");
}

// The analytic row of a link: its identifier, kAmbiguousLink when it
// matches more than one row, null without a match.
QString matchOf(const QString& from, const QString& a, const QString& where)
{
    return QStringLiteral("(SELECT CASE WHEN COUNT(*) > 1 THEN ") + QString::number(kAmbiguousLink) +
           QStringLiteral(" ELSE MIN(") + a + QStringLiteral(".ID_REK2_ANAL) END FROM ") + from +
           QStringLiteral(" WHERE ") + where + QStringLiteral(")");
}

} // namespace

// A link of a person with a tax number looks its rows up by that number
// (the index of REK2_ANAL's tax numbers; the unary + keeps the engine off
// the other indexes); only the rows of people without one are read into a
// table of their own, which SQLite indexes itself. The link's columns are
// worked out only where a comparison needs them (a payout link never reads
// its tax date), and only matched links are updated.
namespace {

// The links still unlinked (LK) with the row of the summaries `ids` each
// matches (X.V; kAmbiguousLink for two rows, null for none): the link
// update's first part.
QString matchedLinks(const Settings& s, const QString& ids)
{
    QStringList l;
    l << unlinked(s, false);
    l << QStringLiteral(
             "AN AS MATERIALIZED (SELECT ID_REK2_ANAL, IDENT_ST, NAZIV, DATUM_IZP_DIV, STATUS, SFKPN, "
             "DATUM_PLC_DVK, NVL(ZNIZANASTOPNJA, 'N') AS ZNIZ FROM REK2_ANAL WHERE ID_REK2_ZBIR IN (") +
             ids + QStringLiteral(") AND DVS IS NULL),");
    l << QStringLiteral("X AS MATERIALIZED (SELECT LK.RID, (CASE WHEN LK.DVS IS NOT NULL THEN ") +
             matchOf(QStringLiteral("REK2_ANAL A"), QStringLiteral("A"),
                     QStringLiteral("A.DVS=LK.DVS AND +A.ID_REK2_ZBIR IN (") + ids +
                         QStringLiteral(") AND ") +
                         sameAsLink(QStringLiteral("A"), QStringLiteral("NVL(A.ZNIZANASTOPNJA, 'N')"))) +
             QStringLiteral(" ELSE ") +
             matchOf(QStringLiteral("AN"), QStringLiteral("AN"),
                     sameAsLink(QStringLiteral("AN"), QStringLiteral("AN.ZNIZ"))) +
             QStringLiteral(" END) AS V FROM LK)");
    return l.join(QLatin1Char('\n'));
}

} // namespace

QString linkUpdate(const Settings& s, const QString& ids)
{
    return matchedLinks(s, ids) +
           QStringLiteral("\nUPDATE REK2_DOG SET ID_REK2_ANAL = X.V FROM X WHERE REK2_DOG.ROWID = X.RID AND X.V "
                          "IS NOT NULL");
}

QString unlinkedEventOfRows(const Settings& s, const QString& ids)
{
    return matchedLinks(s, ids) + QStringLiteral("\nSELECT MIN(L2.ID_DOG) FROM X JOIN REK2_DOG L2 ON L2.ROWID = "
                                                 "X.RID WHERE X.V IS NOT NULL");
}

// The first form of the link update, which PostgreSQL runs: the links still
// unlinked and the analytic rows of this run's summaries are each read once
// into a materialized table and joined (SQLite indexes the materialized side
// itself on all seven columns); a link matching two rows is counted there.
// The tax number is also compared by plain equality (true whenever the
// null-safe comparison is), which PostgreSQL can hash: joined by name and day
// alone, the people of a large day who share a name were compared pairwise.
namespace {

// The links still unlinked, each joined with the rows of the summaries
// `ids` it matches (M: the lowest row and the number of rows).
QString joinedMatches(const Settings& s, const QString& ids)
{
    QStringList l;
    l << unlinked(s, true);
    l << QStringLiteral(
             "AN AS MATERIALIZED (SELECT ID_REK2_ANAL, DVS, IDENT_ST, NAZIV, DATUM_IZP_DIV, STATUS, "
             "SFKPN, DATUM_PLC_DVK, NVL(ZNIZANASTOPNJA, 'N') AS ZNIZ FROM REK2_ANAL WHERE ID_REK2_ZBIR "
             "IN (") +
             ids + QStringLiteral(")),");
    l << QStringLiteral(
        "M AS MATERIALIZED (SELECT LK.RID, LK.ID_DOG, MIN(AN.ID_REK2_ANAL) AS ID, COUNT(*) AS N "
        "FROM LK JOIN AN ON AN.NAZIV=LK.NAZIV AND AN.DATUM_IZP_DIV=LK.DAN "
        "AND IFNULL(AN.DVS, '-')=IFNULL(LK.DVS, '-') AND AN.DVS IS LK.DVS AND "
        "AN.IDENT_ST IS LK.IDENT_ST AND AN.SFKPN IS LK.SFKPN AND AN.STATUS=LK.STATUS AND "
        "AN.ZNIZ=LK.ZNIZ AND ((LK.KIND='D' AND AN.DATUM_PLC_DVK=LK.PLC) OR (LK.KIND='N' AND "
        "AN.DATUM_PLC_DVK IS NULL)) GROUP BY LK.RID)");
    return l.join(QLatin1Char('\n'));
}

} // namespace

QString linkUpdateJoined(const Settings& s, const QString& ids)
{
    return joinedMatches(s, ids) + QStringLiteral("\nUPDATE REK2_DOG SET ID_REK2_ANAL = (CASE WHEN M.N > 1 THEN ") +
           QString::number(kAmbiguousLink) + QStringLiteral(" ELSE M.ID END) FROM M WHERE REK2_DOG.ROWID = M.RID");
}

QString unlinkedEventOfRowsJoined(const Settings& s, const QString& ids)
{
    return joinedMatches(s, ids) + QStringLiteral("\nSELECT MIN(M.ID_DOG) FROM M");
}

QString linkUpdateUnmatched()
{
    return QStringLiteral("UPDATE REK2_DOG SET ID_REK2_ANAL = NULL WHERE ID_REK2_ANAL = 0");
}

QString linksLeftUnmatched()
{
    return QStringLiteral("SELECT COUNT(*) FROM REK2_DOG WHERE ID_REK2_ANAL IS NULL");
}

QString vanishedLinkCheck()
{
    // No number: null or empty (the other text's length test), one index range each.
    const QString lost = QStringLiteral(
        "EXISTS(SELECT 1 FROM REK2_DOG R WHERE R.DURS_ID_DOK %1 AND NOT EXISTS(SELECT 1 FROM DOG D WHERE "
        "D.IDDOG=R.ID_DOG))");
    return QStringLiteral("SELECT 1 WHERE ") + lost.arg(QStringLiteral("IS NULL")) + QStringLiteral(" OR ") +
           lost.arg(QStringLiteral("=''"));
}

QString linkAmbiguity()
{
    return QStringLiteral("SELECT ID_DOG FROM REK2_DOG WHERE ID_REK2_ANAL = ") +
           QString::number(kAmbiguousLink) + QStringLiteral(" ORDER BY ID_DOG");
}

} // namespace rek2::collect::sqlite
