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
        << QStringLiteral("CREATE SEQUENCE ID_REK2_ZBIR_SEQ") << functionStatements();
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

QStringList functionStatements()
{
    // Oracle cuts the places to a whole number; a format it does not know is
    // an error naming it, as on SQLite. ROUND of a date goes up from the
    // 16th of the month, and from July for the year.
    const QString dateFunction = QStringLiteral(
        "CREATE FUNCTION %1(d DATE, fmt TEXT) RETURNS DATE LANGUAGE plpgsql IMMUTABLE AS $$ BEGIN "
        "IF upper(fmt) IN ('DD', 'DDD', 'J') THEN RETURN d; END IF; "
        "IF upper(fmt) IN ('MM', 'MON', 'MONTH') THEN RETURN (date_trunc('month', d) %2)::date; END IF; "
        "IF upper(fmt) IN ('YYYY', 'YEAR', 'YY', 'Y') THEN RETURN (date_trunc('year', d) %3)::date; END IF; "
        "RAISE EXCEPTION '%1 of a date: format ''%'' is not supported', fmt; END $$");
    return {
        // A value in a concatenation as Oracle writes it: a number without
        // trailing zeros or a leading zero (100000, .3, -.5), a date as
        // YYYY-MM-DD.
        QStringLiteral("CREATE FUNCTION REK2_TEXT(v TEXT) RETURNS TEXT LANGUAGE sql IMMUTABLE AS 'SELECT v'"),
        QStringLiteral("CREATE FUNCTION REK2_TEXT(v DATE) RETURNS TEXT LANGUAGE sql IMMUTABLE AS "
                       "'SELECT to_char(v, ''YYYY-MM-DD'')'"),
        QStringLiteral("CREATE FUNCTION REK2_TEXT(v NUMERIC) RETURNS TEXT LANGUAGE sql IMMUTABLE AS "
                       "'SELECT regexp_replace(trim_scale(v)::text, ''^(-?)0\\.'', ''\\1.'')'"),
        // TRUNC of a date is the date itself (dates are whole days).
        QStringLiteral("CREATE FUNCTION TRUNC(d DATE) RETURNS DATE LANGUAGE sql IMMUTABLE AS 'SELECT d'"),
        QStringLiteral(
            "CREATE FUNCTION ROUND(n NUMERIC, places NUMERIC) RETURNS NUMERIC LANGUAGE sql IMMUTABLE "
            "AS 'SELECT round(n, trunc(places)::integer)'"),
        QStringLiteral(
            "CREATE FUNCTION TRUNC(n NUMERIC, places NUMERIC) RETURNS NUMERIC LANGUAGE sql IMMUTABLE "
            "AS 'SELECT trunc(n, trunc(places)::integer)'"),
        dateFunction.arg(QStringLiteral("TRUNC"), QString(), QString()),
        dateFunction.arg(QStringLiteral("ROUND"),
                         QStringLiteral("+ (CASE WHEN extract(day FROM d) >= 16 THEN interval '1 month' ELSE "
                                        "interval '0 days' END)"),
                         QStringLiteral("+ (CASE WHEN extract(month FROM d) >= 7 THEN interval '1 year' ELSE "
                                        "interval '0 days' END)")),
    };
}

} // namespace rek2::postgres
