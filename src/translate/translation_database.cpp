#include "translate/translation_database.h"

#include "base/paths.h"
#include "db/connect.h"
#include "db/error.h"
#include "db/query.h"
#include "db/session.h"
#include "db/transaction.h"

#include <QFileInfo>

namespace rek2 {

namespace {

int g_openCount = 0;

// The key column of each table that draws keys from S_KLJUCI.
QString keyColumn(const QString& table)
{
    const QString t = table.toUpper();
    if (t == QLatin1String("PREVOD_FORME"))
        return QStringLiteral("ID_PREVODA");
    if (t == QLatin1String("PREVOD_ORG"))
        return QStringLiteral("ID_PREVOD_ORG");
    if (t == QLatin1String("PREVOD_DATA"))
        return QStringLiteral("ID_PREVOD_DATA");
    return QString();
}

// The highest whole-number key the table holds, 0 when none.
qlonglong highestKey(Session& session, const QString& table)
{
    const QString column = keyColumn(table);
    if (column.isEmpty())
        return 0;
    Query q;
    q.SetSession(&session);
    q.SQL << QStringLiteral("SELECT MAX(%1) FROM %2").arg(column, table);
    q.Execute();
    return q.FieldIsNull(0) ? 0 : q.Field(0).toLongLong();
}

} // namespace

TranslationDatabase::TranslationDatabase(QString connectionName) : name_(std::move(connectionName)) {}

TranslationDatabase::~TranslationDatabase() = default;

QString TranslationDatabase::resolve(const QString& connectionName, bool* mapped)
{
    const AliasStore aliases(installationFolder() + QStringLiteral("aliases.ini"));
    try {
        const QString driver = aliases.DriverName(connectionName).trimmed().toUpper();
        QString target;
        if (driver.contains(QLatin1String("ODBC")))
            target = aliases.Param(connectionName, QStringLiteral("ODBC DSN"));
        else if (driver == QLatin1String("DB2"))
            target = aliases.Param(connectionName, QStringLiteral("DB2 DSN"));
        else
            target = aliases.Param(connectionName, QStringLiteral("SERVER NAME"));
        if (mapped)
            *mapped = true;
        return target;
    } catch (const DbError&) {
        // No mapping: the translator's own file beside the program.
    }
    if (mapped)
        *mapped = false;
    return installationFolder() + QStringLiteral("translations.db");
}

Session& TranslationDatabase::open(bool create)
{
    if (session_)
        return *session_;
    bool mapped = false;
    const QString target = resolve(name_, &mapped);
    const bool fresh = !mapped && create && !QFileInfo::exists(target);
    if (fresh) {
        // Built beside its name and renamed when complete, so a failure
        // leaves no half-made database for the next start to trip over.
        const QString building = target + QStringLiteral(".new");
        QFile::remove(building);
        {
            Session::createDatabaseFile(building);
            Session s;
            s.LogonDatabase = building;
            s.LogOn();
            createTables(s);
            s.LogOff();
        }
        if (!QFile::rename(building, target)) {
            QFile::remove(building);
            throw DbError(QStringLiteral("Datoteke %1 ni mogoče ustvariti.").arg(target));
        }
    }
    auto s = std::make_unique<Session>();
    s->LogonDatabase = target;
    ++g_openCount;
    s->LogOn();
    session_ = std::move(s);
    return *session_;
}

bool TranslationDatabase::isOpen() const
{
    return session_ != nullptr;
}

bool TranslationDatabase::exists() const
{
    bool mapped = false;
    const QString target = resolve(name_, &mapped);
    return mapped || QFileInfo::exists(target);
}

void TranslationDatabase::close()
{
    if (session_)
        session_->LogOff();
    session_.reset();
}

int TranslationDatabase::openCount()
{
    return g_openCount;
}

void TranslationDatabase::createTables(Session& session)
{
    // Plain types every engine knows; texts wide enough for long captions.
    const char* ddl[] = {
        "CREATE TABLE PREVOD_FORME (ID_PREVODA INTEGER NOT NULL PRIMARY KEY, FORMNAME VARCHAR(100) NOT NULL, "
        "PROGRAMNAME VARCHAR(100), DT_CHANGE VARCHAR(30))",
        "CREATE INDEX PREVOD_FORME_NAME ON PREVOD_FORME (FORMNAME)",
        "CREATE TABLE PREVOD_ORG (ID_PREVODA INTEGER NOT NULL, ID_PREVOD_ORG INTEGER NOT NULL PRIMARY KEY, "
        "NAME VARCHAR(200) NOT NULL, ORGTEXT VARCHAR(4000))",
        "CREATE INDEX PREVOD_ORG_FORM ON PREVOD_ORG (ID_PREVODA, NAME)",
        "CREATE TABLE PREVOD_DATA (ID_PREVODA INTEGER NOT NULL, ID_PREVOD_ORG INTEGER NOT NULL, "
        "ID_PREVOD_DATA INTEGER NOT NULL PRIMARY KEY, NAME VARCHAR(200), TRANSLTEXT VARCHAR(4000), "
        "TRANSLATED CHAR(1), KODA_JEZIKA VARCHAR(10) NOT NULL)",
        "CREATE INDEX PREVOD_DATA_FORM ON PREVOD_DATA (ID_PREVODA, NAME, KODA_JEZIKA)",
        "CREATE INDEX PREVOD_DATA_ORG ON PREVOD_DATA (ID_PREVOD_ORG)",
        "CREATE TABLE PREVOD_JEZIKI (KODA_JEZIKA VARCHAR(10) NOT NULL PRIMARY KEY, OPIS VARCHAR(100))",
        "CREATE TABLE S_KLJUCI (IDKLJUC VARCHAR(30) NOT NULL PRIMARY KEY, STEVEC INTEGER NOT NULL, "
        "TIP VARCHAR(1), VIDEN INTEGER, PREDPONA VARCHAR(10), PRIPONA VARCHAR(10))",
    };
    Transaction tx(session);
    for (const char* statement : ddl)
        session.executeDirect(QString::fromLatin1(statement));
    tx.commit();
}

QString TranslationDatabase::nextKey(Session& session, const QString& table)
{
    Query read;
    read.SetSession(&session);
    read.SQL << QStringLiteral("SELECT STEVEC, PREDPONA, PRIPONA FROM S_KLJUCI WHERE IDKLJUC = :TABELA");
    read.DeclareAndSet(QStringLiteral("TABELA"), VarType::String, table);
    read.Execute();

    const qlonglong highest = highestKey(session, table);
    Query write;
    write.SetSession(&session);
    write.DeclareAndSet(QStringLiteral("TABELA"), VarType::String, table);
    if (read.RowCount() == 0) {
        const qlonglong key = std::max<qlonglong>(1, highest + 1);
        write.SQL << QStringLiteral(
            "INSERT INTO S_KLJUCI (IDKLJUC, STEVEC, TIP, VIDEN) VALUES (:TABELA, :STEVEC, '1', 0)");
        write.DeclareAndSet(QStringLiteral("STEVEC"), VarType::Integer, key + 1);
        write.Execute();
        return QString::number(key);
    }
    const QString prefix = read.FieldAsString(1);
    const QString suffix = read.FieldAsString(2);
    qlonglong counter = read.Field(0).toLongLong();
    // With a prefix or suffix the keys are texts that MAX cannot compare.
    if (prefix.isEmpty() && suffix.isEmpty())
        counter = std::max(counter, highest + 1);
    write.SQL << QStringLiteral("UPDATE S_KLJUCI SET STEVEC = :STEVEC WHERE IDKLJUC = :TABELA");
    write.DeclareAndSet(QStringLiteral("STEVEC"), VarType::Integer, counter + 1);
    write.Execute();
    return prefix + QString::number(counter) + suffix;
}

} // namespace rek2
