#include "db/postgres/working_statements_postgres.h"

namespace rek2::postgres {

namespace {

const QLatin1String kRateStart("select A.*, ");
const QLatin1String kRateEnd(" as Stopnja, A.ROWID FROM REK2_ANAL A ");
const QLatin1String kOrder(" ORDER BY ");

// The rate of the row's coupon on its payout day is one expression of the
// row's SFKPN and DATUM_IZP_DIV (alias A); given for the key (alias KY).
QString rateOfKey(QString rate)
{
    rate.replace(QLatin1String("A.DATUM_IZP_DIV"), QLatin1String("KY.DATUM_IZP_DIV"));
    rate.replace(QLatin1String("A.SfKpn"), QLatin1String("KY.SFKPN"));
    return rate;
}

} // namespace

QStringList analyticWorkingStatement(const QStringList& oracleLines)
{
    // In the WHERE clause, IN and EXISTS keep the same rows: a link without
    // a row (null) only makes IN unknown where EXISTS is false.
    QStringList lines = oracleLines;
    for (QString& line : lines)
        line.replace(
            QLatin1String("(ID_REK2_ANAL IN (select ID_REK2_ANAL FROM REK2_dog where XML_FILE is null))"),
            QLatin1String("EXISTS(select 1 FROM REK2_dog G where G.ID_REK2_ANAL=A.ID_REK2_ANAL AND "
                          "G.XML_FILE is null)"));

    // PostgreSQL works the rate out with its five look-ups for every row;
    // a large dividend day has thousands of rows per coupon and day. It is
    // worked out once per coupon and payout day of the rows shown (the same
    // rows, so a second rate or coupon row is the same error), and joined.
    // A row without a coupon or payout day has no rate (every look-up finds
    // nothing), so those keys are left out and the join can be by equality.
    const QString text = lines.join(QLatin1Char('\n'));
    const qsizetype rateFrom = text.indexOf(kRateStart);
    const qsizetype rateTo = text.indexOf(kRateEnd);
    const qsizetype orderAt = text.lastIndexOf(kOrder);
    if (rateFrom < 0 || rateTo < rateFrom || orderAt < rateTo)
        return lines;
    const QString rate = text.mid(rateFrom + kRateStart.size(), rateTo - rateFrom - kRateStart.size());
    const QString where = text.mid(rateTo + kRateEnd.size(), orderAt - rateTo - kRateEnd.size());
    return {
        QStringLiteral(
            "WITH KY AS MATERIALIZED (SELECT DISTINCT A.SFKPN, A.DATUM_IZP_DIV FROM REK2_ANAL A ") +
            where + QStringLiteral(" AND A.SFKPN IS NOT NULL AND A.DATUM_IZP_DIV IS NOT NULL),"),
        QStringLiteral("RT AS MATERIALIZED (SELECT KY.SFKPN AS RT_KPN, KY.DATUM_IZP_DIV AS RT_DAN, ") +
            rateOfKey(rate) + QStringLiteral(" AS RT_STOPNJA FROM KY)"),
        QStringLiteral("select A.*, RT.RT_STOPNJA as Stopnja, A.ROWID FROM REK2_ANAL A LEFT OUTER JOIN RT ON "
                       "RT.RT_KPN = A.SFKPN AND RT.RT_DAN = A.DATUM_IZP_DIV "),
        where,
        text.mid(orderAt),
    };
}

} // namespace rek2::postgres
