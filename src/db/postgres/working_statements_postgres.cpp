#include "db/postgres/working_statements_postgres.h"

namespace rek2::postgres {

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
    return lines;
}

} // namespace rek2::postgres
