#include "db/bulk.h"
#include "db/postgres/new_database_postgres.h"
#include "db/postgres/postgres_conninfo.h"
#include "db/sqlite/new_database_sqlite.h"

#include <QFileInfo>

namespace rek2 {

void createNewDatabase(const QString& name, bool withPayer, const std::function<void(BulkLoader&)>& fill,
                       const QString& user, const QString& password)
{
    if (postgres::isConnectionString(name))
        postgres::createNewDatabase(name, user, password, withPayer, fill);
    else
        sqlite::createNewDatabase(name, withPayer, fill);
}

QString databaseFolder(const QString& name)
{
    if (postgres::isConnectionString(name))
        return {};
    return QFileInfo(name).absolutePath();
}

} // namespace rek2
