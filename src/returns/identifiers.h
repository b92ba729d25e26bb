#pragma once
#include <QString>

namespace rek2 {

class Session;
struct Settings;

// A new identifier from the database sequences: kind "Analitika" draws from
// ID_REK2_ANAL_SEQ, any other kind (callers pass "Zbirni") from
// ID_REK2_ZBIR_SEQ. The database type counts as DB2 only when it is exactly
// "DB2"; every other value selects the Oracle statement. Runs inside whatever
// transaction the caller has open; a drawn value is never handed out again.
// Throws DbError.
int GetNewID(Session& session, const QString& tipBaze, const QString& kind);
int GetNewID(Session& session, const Settings& settings, const QString& kind);

// The statement text GetNewID sends (before the dialect rewrites it).
QString newIdStatement(const QString& tipBaze, const QString& kind);

} // namespace rek2
