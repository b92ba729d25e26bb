#include "db/dialect.h"

#include "db/database_name.h"
#include "db/oracle_rewrite.h"
#include "db/postgres/postgres_conninfo.h"
#include "db/postgres/postgres_dialect.h"
#include "db/sql_tokens.h"
#include "db/sqlite/sqlite_dialect.h"

#include <QSqlQuery>

namespace rek2 {

Dialect::Translation Dialect::bindOnly(const QString& engineSql) const
{
    sql::Tokens t = sql::tokenize(engineSql);
    Translation out;
    sql::bindVariablesToPositional(t, out.variableNames);
    out.sql = sql::join(t);
    return out;
}

std::vector<FieldType> Dialect::resultTypes(const QSqlQuery& /*q*/, int count) const
{
    return std::vector<FieldType>(size_t(count), FieldType::Variant);
}

QString Dialect::quoteIdentifier(const QString& name) const
{
    // Names come from statement texts and the engine's catalogue, never from
    // typed text; quoting keeps odd names whole.
    QString n = name;
    return QLatin1Char('"') + n.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

std::unique_ptr<Dialect> makeDialect(const QString& databaseName)
{
    if (postgres::isConnectionString(databaseName))
        return postgres::makeDialect();
    return sqlite::makeDialect();
}

bool isServerDatabaseName(const QString& databaseName)
{
    return postgres::isConnectionString(databaseName);
}

QString displayDatabaseName(const QString& databaseName)
{
    return postgres::redactedConnectionString(databaseName);
}

} // namespace rek2
