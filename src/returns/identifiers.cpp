#include "returns/identifiers.h"

#include "base/settings.h"
#include "db/query.h"

namespace rek2 {

QString newIdStatement(const QString& tipBaze, const QString& kind)
{
    // DB2 only when spelt exactly so; everything else is Oracle.
    const bool db2 = tipBaze == QLatin1String("DB2");
    const bool anal = kind == QLatin1String("Analitika");
    if (db2)
        return anal ? QStringLiteral("SELECT NEXTVAL FOR ID_REK2_ANAL_SEQ AS NewId FROM SYSIBM.SYSDUMMY1")
                    : QStringLiteral("SELECT NEXTVAL FOR ID_REK2_ZBIR_SEQ AS NewId FROM SYSIBM.SYSDUMMY1");
    return anal ? QStringLiteral("select ID_REK2_ANAL_SEQ.NEXTVAL AS NewId from dual")
                : QStringLiteral("select ID_REK2_ZBIR_SEQ.NEXTVAL AS NewId from dual");
}

int GetNewID(Session& session, const QString& tipBaze, const QString& kind)
{
    Query qSEQ(QStringLiteral("qSEQ"));
    qSEQ.SetSession(&session);
    qSEQ.Close();
    qSEQ.SQL.clear();
    qSEQ.SQL << newIdStatement(tipBaze, kind);
    qSEQ.Execute();
    const int id = qSEQ.FieldAsInteger(QStringLiteral("NewId"));
    qSEQ.Close();
    return id;
}

int GetNewID(Session& session, const Settings& settings, const QString& kind)
{
    return GetNewID(session, settings.TipBaze, kind);
}

} // namespace rek2
