#include "db/connect.h"
#include "db/db_test_util.h"
#include "support/scripted_operator.h"

#include <QFile>

using namespace rek2;
using rek2::test::ScriptedOperator;
using rek2::test::TempDatabase;

namespace {

class ConnectTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        aliasFile = dir.filePath("aliases.ini");
        QFile f(aliasFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QString("[REGISTER]\nDriver=ORACLE\nSERVER NAME=%1\n"
                        "[ODBCREG]\nDriver=Microsoft ODBC\nODBC DSN=%1\n"
                        "[PARADOX]\nDriver=PARADOX\nPATH=/tmp\n")
                    .arg(db.path())
                    .toUtf8());
    }
    TempDatabase db;
    QTemporaryDir dir;
    QString aliasFile;
    ScriptedOperator op;
    Session s;
};

TEST_F(ConnectTest, DatabaseNameThatIsAFileLogsOnDirectly)
{
    s.LogonDatabase = db.path();
    const ConnectOutcome out = connectSession(s, AliasStore(aliasFile), QString(), op);
    EXPECT_TRUE(out.connected);
    EXPECT_FALSE(out.closeWindow);
    EXPECT_TRUE(op.shown.empty());
}

// Windows paths keep their backslashes (no escapes), and a file written in
// Windows-1250 keeps its letters.
TEST_F(ConnectTest, AliasValuesAreReadAsWritten)
{
    QFile f(aliasFile);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("[NOVA]\r\nDriver=ORACLE\r\nSERVER NAME=C:\\rek2\\new.db\r\n"
            "[Pisarna]\r\nDriver=ORACLE\r\nSERVER NAME=\\\\srv\\baze\\\x9Aola.db\r\n");
    f.close();
    const AliasStore aliases(aliasFile);
    EXPECT_EQ(aliases.DriverName("nova"), "ORACLE");
    EXPECT_EQ(aliases.Param("NOVA", "SERVER NAME"), "C:\\rek2\\new.db");
    EXPECT_EQ(aliases.Params("pisarna"), QStringList({QStringLiteral("SERVER NAME=\\\\srv\\baze\\šola.db")}));
}

TEST_F(ConnectTest, AliasIsResolvedByItsDriver)
{
    for (const char* alias : {"REGISTER", "odbcreg"}) {
        SCOPED_TRACE(alias);
        s.LogonDatabase = alias;
        const ConnectOutcome out = connectSession(s, AliasStore(aliasFile), QString(), op);
        EXPECT_TRUE(out.connected);
        EXPECT_EQ(s.LogonDatabase, db.path());
    }
    s.LogonDatabase = "PARADOX"; // another driver: the window closes afterwards
    const ConnectOutcome out = connectSession(s, AliasStore(aliasFile), QString(), op);
    EXPECT_FALSE(out.connected);
    EXPECT_TRUE(out.closeWindow);
    EXPECT_FALSE(out.error.isEmpty());
    EXPECT_TRUE(op.shown.empty());
}

TEST_F(ConnectTest, UnknownAliasFallsBackToServerNameOrEndsWithOneMessage)
{
    s.LogonDatabase = "NEZNAN";
    ConnectOutcome out = connectSession(s, AliasStore(aliasFile), db.path(), op);
    EXPECT_TRUE(out.connected);
    EXPECT_EQ(s.LogonDatabase, db.path());

    s.LogOff();
    s.LogonDatabase = "NEZNAN";
    out = connectSession(s, AliasStore(aliasFile), QString(), op);
    EXPECT_FALSE(out.connected);
    EXPECT_TRUE(out.closeWindow);
    ASSERT_EQ(op.shown.size(), 1u);
    EXPECT_EQ(op.shown[0].kind, "Napaka");
    EXPECT_TRUE(op.shown[0].text.startsWith("Napaka pri iskanju BDE aliasa NEZNAN: "))
        << op.shown[0].text.toStdString();
    EXPECT_EQ(op.shown[0].buttons, QStringList{"V redu"});
}

} // namespace

namespace {

// A PostgreSQL alias names its server as an Oracle one does; a server that
// cannot be reached gives its own message once, is not looked up as an
// alias, leaves the window open and never shows the password.
TEST_F(ConnectTest, PostgresAliasAndAServerThatCannotBeReached)
{
    QFile f(aliasFile);
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write(QString("[SHARED]\nDriver=PostgreSQL\nSERVER NAME=%1\n").arg(db.path()).toUtf8());
    f.close();
    s.LogonDatabase = "SHARED";
    EXPECT_TRUE(connectSession(s, AliasStore(aliasFile), QString(), op).connected);
    EXPECT_EQ(s.LogonDatabase, db.path());

    s.LogOff();
    s.LogonDatabase = "host=/nonexistent/rek2 port=5 dbname=register password=tajno";
    s.LogonPassword = "skrivno";
    const ConnectOutcome out = connectSession(s, AliasStore(aliasFile), QString(), op);
    EXPECT_FALSE(out.connected);
    EXPECT_FALSE(out.closeWindow);
    EXPECT_TRUE(op.shown.empty());
    EXPECT_TRUE(out.error.contains("/nonexistent/rek2")) << out.error.toStdString();
    EXPECT_FALSE(out.error.contains("tajno") || out.error.contains("skrivno"));
}

} // namespace
