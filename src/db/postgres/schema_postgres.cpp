// The PostgreSQL schema: the same tables, columns, column orders and indexes
// as the SQLite schema, derived from its statements so both engines always
// agree; only the types and the sequences differ.
#include "db/postgres/schema_postgres.h"

#include "db/schema.h"

#include <QRegularExpression>

namespace rek2::postgres {

QStringList schemaStatements()
{
    static const QRegularExpression real(QStringLiteral("\\bREAL\\b"));
    static const QRegularExpression text(QStringLiteral("\\bTEXT\\b"));
    static const QRegularExpression nocase(QStringLiteral("(\\w+) COLLATE NOCASE"));
    QStringList out;
    for (QString s : schemaStatementsSqlite()) {
        // SQLite keeps its sequence counters in a table; here they are sequences.
        if (s.contains(QLatin1String("REK2_SEQUENCES")))
            continue;
        // Amounts and rates are exact decimals; dates stay DATE.
        s.replace(real, QStringLiteral("NUMERIC"));
        s.replace(text, QStringLiteral("VARCHAR(4000)"));
        s.replace(nocase, QStringLiteral("UPPER(\\1)"));
        out << s;
    }
    out << QStringLiteral("CREATE SEQUENCE ID_REK2_ANAL_SEQ")
        << QStringLiteral("CREATE SEQUENCE ID_REK2_ZBIR_SEQ")
        // TRUNC of a date is the date itself (dates are whole days).
        << QStringLiteral("CREATE FUNCTION TRUNC(d DATE) RETURNS DATE LANGUAGE sql IMMUTABLE AS 'SELECT d'");
    return out;
}

} // namespace rek2::postgres
