#include "db/database_name.h"
#include "db/db_test_util.h"
#include "db/error.h"
#include "db/postgres/postgres_conninfo.h"

using namespace rek2;

namespace {

TEST(ConnectionString, UriAndKeyValueFormsGiveTheSameParts)
{
    struct Case
    {
        const char* name;
        const char* host;
        int port;
        const char* dbname;
        const char* user;
        const char* password;
        const char* options;
    } cases[] = {
        {"postgresql://db.local:5433/register", "db.local", 5433, "register", "", "", ""},
        {"postgresql:///register?host=/run/pg%20x&port=6000", "/run/pg x", 6000, "register", "", "", ""},
        {"postgres://ana:ge%40slo@[::1]/reg?sslmode=require", "::1", -1, "reg", "ana", "ge@slo",
         "sslmode=require"},
        {"postgresql://%2Ftmp%2Fsock/reg", "/tmp/sock", -1, "reg", "", "", ""},
        {"host=/tmp/x port=54 dbname=reg", "/tmp/x", 54, "reg", "", "", ""},
        {" host = 'a b' dbname='re\\'g' password='x\\'y' connect_timeout=3", "a b", -1, "re'g", "", "x'y",
         "connect_timeout=3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(postgres::isConnectionString(c.name));
        ASSERT_TRUE(isServerDatabaseName(c.name));
        const postgres::ConnInfo i = postgres::parseConnectionString(c.name);
        EXPECT_EQ(i.host, QString::fromUtf8(c.host));
        EXPECT_EQ(i.port, c.port);
        EXPECT_EQ(i.user, QString::fromUtf8(c.user));
        EXPECT_EQ(i.password, QString::fromUtf8(c.password));
        EXPECT_EQ(i.options.join(' '), QString::fromUtf8(c.options));
        EXPECT_EQ(i.dbname, QString::fromUtf8(c.dbname));
    }
}

TEST(ConnectionString, FilesStayFilesAndMalformedStringsAreRefused)
{
    for (const char* file : {"/data/register.db", "C:\\rek2\\a=b.db", "rek2.db", "hostname.db"})
        EXPECT_FALSE(isServerDatabaseName(file)) << file;
    for (const char* bad : {"postgresql://host/", "host=x port=abc dbname=y", "dbname='open", "host=x"})
        EXPECT_THROW(postgres::parseConnectionString(bad), DbError) << bad;
}

TEST(ConnectionString, PasswordNeverShown)
{
    EXPECT_EQ(displayDatabaseName("postgresql://ana:skrivno@db/reg?password=tudi"),
              "postgresql://ana@db/reg?password=***");
    EXPECT_EQ(displayDatabaseName("host=db password='skri vno' dbname=reg"),
              "host=db password=*** dbname=reg");
    EXPECT_EQ(displayDatabaseName("/data/register.db"), "/data/register.db");
}

} // namespace
