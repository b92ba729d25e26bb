// The link step's statements on PostgreSQL (see db/sqlite/link_statements.cpp).
#include "db/postgres/collect_statements.h"

#include "db/sqlite/collect_statements.h"

namespace rek2::collect::postgres {

namespace {

// SQLite's null-safe "IS", IFNULL, its ROWID and its loose GROUP BY, in
// PostgreSQL's words. The row identity (ctid) only lives within the one
// statement that reads and updates it.
QString spelled(QString text)
{
    text.replace(QLatin1String("L.ROWID AS RID"), QLatin1String("L.ctid AS RID"));
    text.replace(QLatin1String(" IS LK."), QLatin1String(" IS NOT DISTINCT FROM LK."));
    text.replace(QLatin1String("IFNULL("), QLatin1String("COALESCE("));
    text.replace(QLatin1String("NVL("), QLatin1String("COALESCE("));
    text.replace(QLatin1String("GROUP BY LK.RID)"), QLatin1String("GROUP BY LK.RID, LK.ID_DOG)"));
    text.replace(QLatin1String("WHERE REK2_DOG.ROWID = M.RID"), QLatin1String("WHERE REK2_DOG.ctid = M.RID"));
    return text;
}

} // namespace

QString linkUpdate(const Settings& s, const QString& ids)
{
    return spelled(sqlite::linkUpdateJoined(s, ids));
}

QString unlinkedEventOfRows(const Settings& s, const QString& ids)
{
    return spelled(sqlite::unlinkedEventOfRowsJoined(s, ids));
}

} // namespace rek2::collect::postgres
