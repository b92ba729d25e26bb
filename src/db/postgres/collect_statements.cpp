#include "db/postgres/collect_statements.h"

#include "base/settings.h"
#include "collect/statements.h"
#include "db/sqlite/collect_statements.h"

#include <QRegularExpression>

namespace rek2::collect::postgres {

namespace {

// New rows numbered in the order SQLite numbers them: by the grouping
// columns of collect::sqlite::analyticStatement, in its order, empty values
// first. Both engines then give the same rows the same identifiers.
QString inSqliteOrder(const QString& text, bool reducedRate)
{
    QStringList order;
    for (const QString& c : sqlite::analyticGroupingColumns())
        order << QStringLiteral("A.") + c + QStringLiteral(" NULLS FIRST");
    if (reducedRate)
        order << QStringLiteral("A.ZnizanaStopnja NULLS FIRST");
    return text + QStringLiteral("\nORDER BY ") + order.join(QStringLiteral(", "));
}

} // namespace


QString analyticInsert(const Settings& s)
{
    QString text = sqlite::analyticStatement(s);
    text.replace(QLatin1String("rek2_nextval('ID_REK2_ANAL_SEQ')"), QLatin1String("nextval('ID_REK2_ANAL_SEQ')"));
    text.replace(QLatin1String("temp.REK2_LATER"), QLatin1String("pg_temp.REK2_LATER"));
    text.replace(QLatin1String("\n)\nGROUP BY"), QLatin1String("\n) U\nGROUP BY")); // a subquery in FROM is named
    text.replace(QLatin1String("IFNULL("), QLatin1String("COALESCE("));
    text.replace(QLatin1String("NVL("), QLatin1String("COALESCE("));
    // Decimal division as the stored text's rewrite does it (a * 1.0 / b),
    // so that the quotients have the same digits; a quoted event code keeps
    // its slash.
    QString divided;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (c == QLatin1Char('/') && !quoted)
            divided += QLatin1String("*1.0");
        divided += c;
    }
    text = divided;
    // The status of the first pending link of the reporting kind: SQLite
    // takes it beside MIN() of the link's row number; PostgreSQL takes the
    // status itself (there is one such link: the event statement adds a
    // link of a kind only when the payout has none).
    text.replace(QLatin1String("(CASE WHEN MIN(CASE WHEN L.DAVCNI_ODTEGLJAJ="),
                 QLatin1String("MIN(CASE WHEN L.DAVCNI_ODTEGLJAJ="));
    text.replace(QLatin1String("THEN L.ROWID END) IS NOT NULL THEN L.STATUS END)"),
                 QLatin1String("THEN L.STATUS END)"));
    // A payout not to be reported is marked by a status of two characters,
    // which no status is (SQLite marks it with a number).
    text.replace(QLatin1String("ELSE -1 END FROM REK2_DOG L"), QLatin1String("ELSE '-1' END FROM REK2_DOG L"));
    text.replace(QLatin1String("HAVING Status IS NOT -1"), QLatin1String("HAVING Status IS DISTINCT FROM '-1'"));
    // SQLite's unary plus keeps it off an index; here it is not needed (and
    // not defined on texts and dates).
    static const QRegularExpression unaryPlus(QStringLiteral("(?<=[\\s(])\\+(?=[A-Za-z_]\\w*\\.)"));
    text.remove(unaryPlus);
    static const QRegularExpression nullSafe(
        QStringLiteral("(\\b[A-Za-z_]\\w*\\.[A-Za-z_]\\w*) IS (?=[A-Za-z_]\\w*\\.)"));
    text.replace(nullSafe, QStringLiteral("\\1 IS NOT DISTINCT FROM "));
    return inSqliteOrder(text, !s.FHasBrutoDiv);
}

QString eventStatement(const Settings& s)
{
    // Every payout that part takes has an 'R' link to an event paid in the
    // period on another day than the payout: exactly what the list holds.
    // Limited to those, the same rows come out, without PostgreSQL joining
    // every payout of the registry with its holder first (0.65 s of a
    // 100,000-holder day's run, where none is paid later). The part's
    // conditions are a conjunction, so one more goes in front of them.
    QString text = collect::eventStatement(s);
    const qsizetype later = text.indexOf(QLatin1String("D2.Zpd>=:DatumOd"));
    const qsizetype where = later < 0 ? -1 : text.lastIndexOf(QLatin1String("where "), later);
    if (where < 0)
        return text;
    text.insert(where + 6, QStringLiteral("D.IDDOG IN (SELECT LL.IDDOGMASTER FROM pg_temp.REK2_LATER LL WHERE "
                                          "LL.SFLNK='R') AND "));
    return text;
}

} // namespace rek2::collect::postgres
