// The PostgreSQL schema: the same tables, columns, column orders and indexes
// as the SQLite schema, derived from its statements so both engines always
// agree; only the types and the sequences differ.
#include "db/postgres/schema_postgres.h"

#include "db/schema.h"

#include <QRegularExpression>
#include <utility>

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
    // Oracle compares a text with a number as numbers (the statements compare
    // the text column UGO_MED_POG with the number 1, for one); PostgreSQL
    // has no such operator of its own.
    // Declared for TEXT only: on VARCHAR a text literal would be taken for a number.
    for (const char* type : {"TEXT"}) {
        for (const auto& [op, name] : {std::pair{"=", "EQ"}, std::pair{"<>", "NE"}}) {
            const QString t = QLatin1String(type);
            const QString o = QLatin1String(op);
            const QString n = QLatin1String(name);
            out << QStringLiteral(
                       "CREATE FUNCTION REK2_%1_%2_INT(a %1, b INTEGER) RETURNS BOOLEAN LANGUAGE sql "
                       "IMMUTABLE AS 'SELECT a::NUMERIC %3 b'")
                       .arg(t, n, o)
                << QStringLiteral(
                       "CREATE FUNCTION REK2_INT_%2_%1(a INTEGER, b %1) RETURNS BOOLEAN LANGUAGE sql "
                       "IMMUTABLE AS 'SELECT a %3 b::NUMERIC'")
                       .arg(t, n, o)
                << QStringLiteral(
                       "CREATE OPERATOR %3 (LEFTARG = %1, RIGHTARG = INTEGER, FUNCTION = REK2_%1_%2_INT)")
                       .arg(t, n, o)
                << QStringLiteral(
                       "CREATE OPERATOR %3 (LEFTARG = INTEGER, RIGHTARG = %1, FUNCTION = REK2_INT_%2_%1)")
                       .arg(t, n, o);
        }
    }
    return out;
}

} // namespace rek2::postgres
