#pragma once

struct sqlite3;

namespace rek2 {

class SequenceCache;

// Registers on one SQLite connection the functions the rewritten Oracle text
// calls: NVL, TRUNC, ROUND (decimal), upper/lower for every letter (č -> Č),
// rek2_concat (Oracle ||), rek2_nextval (drawn from `sequences`) and
// rek2_current_date (the workstation's local date, 'YYYY-MM-DD').
// Throws DbError.
void registerSqliteFunctions(sqlite3* db, SequenceCache* sequences);

} // namespace rek2
