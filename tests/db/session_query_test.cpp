#include "db/db_test_util.h"
#include "db/error.h"
#include "db/sql_error.h"
#include "db/sqlite/sequences.h"
#include "db/transaction.h"
#include "support/test_engine.h"

#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>

using namespace rek2;
using rek2::test::scalar;
using rek2::test::TempDatabase;

namespace {

TEST(Session, LogOnFailsForMissingOrForeignFilesWithoutCreatingThem)
{
    QTemporaryDir dir;
    Session s;
    s.LogonDatabase = dir.filePath("missing.db");
    EXPECT_THROW(s.LogOn(), DbError);
    EXPECT_FALSE(QFileInfo::exists(s.LogonDatabase));
    EXPECT_FALSE(s.Connected());

    const QString text = dir.filePath("notes.db");
    QFile f(text);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, 'x'));
    f.close();
    s.LogonDatabase = text;
    try {
        s.LogOn();
        FAIL() << "a text file accepted as a database";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), "file is not a database");
    }
    EXPECT_FALSE(s.Connected());
    s.LogOff(); // nothing when not connected

    // An empty file is not a database either, and stays empty.
    const QString empty = dir.filePath("empty.db");
    QFile e(empty);
    ASSERT_TRUE(e.open(QIODevice::WriteOnly));
    e.close();
    s.LogonDatabase = empty;
    try {
        s.LogOn();
        FAIL() << "an empty file accepted as a database";
    } catch (const DbError& err) {
        EXPECT_EQ(err.message(), "file is not a database");
    }
    EXPECT_EQ(QFileInfo(empty).size(), 0);
    EXPECT_FALSE(QFileInfo::exists(empty + "-wal"));
}

// A database of an older version without the counters' table: logging on
// (as a reading command does) adds nothing; the first draw adds the table.
TEST(Session, LogOnChangesNothingInTheFile)
{
    REK2_SQLITE_ONLY(); // SQLite's counters' table
    TempDatabase db;
    db.session()->executeDirect("DROP TABLE REK2_SEQUENCES");
    auto s = db.session();
    EXPECT_EQ(scalar(*s, "select count(*) from sqlite_master where name = 'REK2_SEQUENCES'").toInt(), 0);
    EXPECT_EQ(scalar(*s, "select ID_REK2_ANAL_SEQ.NEXTVAL from dual").toInt(), 1);
    EXPECT_EQ(scalar(*s, "select count(*) from sqlite_master where name = 'REK2_SEQUENCES'").toInt(), 1);
}

// A database the user may only read: reading works, writing fails with the
// engine's message. As root (whom file modes do not stop) the file sits on a
// small file system mounted read-only.
TEST(Session, ReadOnlyDatabaseCanBeRead)
{
    REK2_SQLITE_ONLY(); // a file's modes
    TempDatabase db;
    db.session()->executeDirect("CREATE TABLE T (V INTEGER)");
    db.session()->executeDirect("INSERT INTO T VALUES (7)");
    test::ReadOnlyCopy copy(db.path());
    if (!copy.ready())
        GTEST_SKIP() << copy.why().toStdString();
    Session s;
    s.LogonDatabase = copy.path();
    s.LogOn();
    EXPECT_EQ(scalar(s, "select V from T").toInt(), 7);
    try {
        rek2::test::exec(s, "INSERT INTO T VALUES (8)");
        FAIL() << "wrote into a read-only database";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(),
                  "V bazo podatkov ni mogoče pisati: odprta je samo za branje. (attempt to write a "
                  "readonly database)");
    }
}

TEST(Session, TransactionsAreExplicitAndNotNested)
{
    TempDatabase db;
    auto s = db.session();
    s->executeDirect("CREATE TABLE T (V INTEGER)");
    EXPECT_FALSE(s->InTransaction());
    s->StartTransaction();
    EXPECT_TRUE(s->InTransaction());
    EXPECT_THROW(s->StartTransaction(), DbError);
    rek2::test::exec(*s, "INSERT INTO T VALUES (1)");
    s->Rollback();
    EXPECT_FALSE(s->InTransaction());
    EXPECT_EQ(scalar(*s, "select count(*) from T").toInt(), 0);

    {
        Transaction tx(*s);
        rek2::test::exec(*s, "INSERT INTO T VALUES (2)");
        tx.commit();
    }
    {
        Transaction tx(*s); // left without commit: rolled back
        rek2::test::exec(*s, "INSERT INTO T VALUES (3)");
    }
    EXPECT_EQ(scalar(*s, "select sum(V) from T").toInt(), 2);
}

// A second workstation (or program) that finds the database held past its
// wait is told so in words the operator can act on; nothing of its own work
// is written, and the holder's work is untouched.
TEST(Session, WaitingForAnotherWriterEndsWithAnExplanation)
{
    TempDatabase db;
    auto holder = db.session();
    holder->executeDirect("CREATE TABLE T (V INTEGER)");
    rek2::test::exec(*holder, "INSERT INTO T VALUES (1)");
    holder->StartTransaction();
    rek2::test::exec(*holder, "UPDATE T SET V = 2");

    auto other = db.session(100);
    try {
        // SQLite refuses the transaction itself, PostgreSQL the row.
        other->StartTransaction();
        rek2::test::exec(*other, "UPDATE T SET V = 3");
        FAIL() << "the held row was written";
    } catch (const DbError& e) {
        EXPECT_TRUE(
            e.message().startsWith("Baza podatkov je zasedena: vanjo ravno piše drug program ali druga "
                                   "delovna postaja. Počakajte, da konča, in ponovite. ("))
            << e.message().toStdString();
        // Still recognised as a lock conflict where that decides what happens.
        EXPECT_TRUE(other->dialect().isLockConflict(e.message()));
    }
    if (other->InTransaction())
        other->Rollback();
    holder->Commit();
    EXPECT_EQ(scalar(*other, "select sum(V) from T").toInt(), 2);
}

// A long statement, or a wait for another writer's lock, calls the pulse
// (with which the window keeps itself painted) every so often; whatever the
// pulse tries on the busy session is refused, and the statement's own result
// is untouched.
TEST(Session, LongWorkCallsThePulseWhichCannotUseTheSession)
{
    // SQLite calls back from the middle of its work; PostgreSQL's client
    // library cannot, so there the work runs on the session's own thread.
    const bool postgres = rek2::test::onPostgres();
    TempDatabase db;
    auto holder = db.session();
    holder->executeDirect("CREATE TABLE T (V INTEGER)");
    rek2::test::exec(*holder, "INSERT INTO T VALUES (1)");
    auto s = db.session(450);
    int pulses = 0;
    QStringList refused;
    s->setPulse([&] {
        ++pulses;
        try {
            rek2::test::exec(*s, "INSERT INTO T VALUES (99)");
        } catch (const DbError& e) {
            refused << e.message();
        }
        EXPECT_THROW(s->StartTransaction(), DbError);
    });

    // Waiting for the lock until the timeout: SQLite's begin of a
    // transaction waits for the other writer, PostgreSQL's change of the
    // row the other one changed.
    holder->StartTransaction();
    rek2::test::exec(*holder, "UPDATE T SET V = 2");
    try {
        s->StartTransaction();
        rek2::test::exec(*s, "UPDATE T SET V = 3");
        ADD_FAILURE() << "the held row was written";
    } catch (const DbError& e) {
        EXPECT_TRUE(s->dialect().isLockConflict(e.message())) << e.message().toStdString();
    }
    EXPECT_GE(pulses, 2);
    s->Rollback();
    holder->Commit();
    ASSERT_FALSE(refused.isEmpty());
    EXPECT_EQ(refused.first(), "Baza podatkov ravno izvaja drug ukaz tega okna; ukaz ni bil izveden.");

    // Working on a statement: counted as long as it takes longer than the
    // pulse's interval (a count of three million nearly always does).
    pulses = 0;
    QElapsedTimer clock;
    clock.start();
    const QVariant n =
        postgres
            ? scalar(*s, "SELECT COUNT(*) + 41 FROM (SELECT pg_sleep(0.45)) X")
            : scalar(*s, "WITH RECURSIVE C(X) AS (SELECT 1 UNION ALL SELECT X + 1 FROM C WHERE X < 3000000) "
                         "SELECT COUNT(*) + SUM(X) FROM C");
    const qint64 took = clock.elapsed();
    EXPECT_EQ(n.toLongLong(), postgres ? 42 : 3000000 + 4500001500000LL);
    if (took > 3 * Session::kPulseIntervalMs) {
        EXPECT_GE(pulses, 1) << took << " ms";
    }
    EXPECT_EQ(scalar(*s, "SELECT COUNT(*) FROM T").toInt(), 1);
    EXPECT_EQ(scalar(*s, "SELECT V FROM T").toInt(), 2);

    // A statement's error comes back from wherever it ran.
    EXPECT_THROW(scalar(*s, "SELECT NO_SUCH_COLUMN FROM T"), DbError);

    // No pulse once switched off, nor while nothing runs.
    s->setPulse({});
    pulses = 0;
    if (postgres)
        scalar(*s, "SELECT COUNT(*) FROM (SELECT pg_sleep(0.25)) X");
    else
        scalar(*s, "WITH RECURSIVE C(X) AS (SELECT 1 UNION ALL SELECT X + 1 FROM C WHERE X < 1000000) SELECT "
                   "COUNT(*) FROM C");
    EXPECT_EQ(pulses, 0);
}

// The engines' messages an operator can act on (a full disk, a damaged
// file, a read-only database, another writer) get a Slovenian sentence in
// front of the engine's words; any other message stays as it is.
TEST(EngineMessages, ThoseTheOperatorCanActOnAreExplained)
{
    const QString full = "Na disku z bazo podatkov ni več prostora. Sprostite prostor in ponovite. (";
    const QString damaged =
        "Datoteka baze podatkov je poškodovana. Obrnite se na skrbnika baze (obnova iz varnostne kopije). (";
    const struct
    {
        QString engine, shown;
    } cases[] = {
        {"database or disk is full", full + "database or disk is full)"},
        {"could not extend file \"base/16384/16397\": No space left on device",
         full + "could not extend file \"base/16384/16397\": No space left on device)"},
        {"database disk image is malformed", damaged + "database disk image is malformed)"},
        {"disk I/O error", "Napaka diska pri branju ali pisanju baze podatkov. (disk I/O error)"},
        {"cannot execute INSERT in a read-only transaction",
         "V bazo podatkov ni mogoče pisati: odprta je samo za branje. (cannot execute INSERT in a read-only "
         "transaction)"},
        {"terminating connection due to administrator command\nserver closed the connection unexpectedly",
         "Povezava s strežnikom baze podatkov je prekinjena. Ko bo strežnik spet dosegljiv, program zaprite "
         "in "
         "znova odprite. (terminating connection due to administrator command\nserver closed the connection "
         "unexpectedly)"},
        {"database is locked", "Baza podatkov je zasedena: vanjo ravno piše drug program ali druga delovna "
                               "postaja. Počakajte, da konča, in ponovite. (database is locked)"},
        // Passed on from a statement inside another: explained once.
        {full + "database or disk is full)", full + "database or disk is full)"},
        {"UNIQUE constraint failed: T.V", "UNIQUE constraint failed: T.V"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(withExplanation(c.engine), c.shown) << c.engine.toStdString();
}

// A file damaged on disk: the engine itself finds it out, and the operator is
// told what it means.
TEST(EngineMessages, DamagedDatabaseFileIsReportedAsSuch)
{
    REK2_SQLITE_ONLY(); // a file's bytes
    TempDatabase db;
    {
        auto s = db.session();
        s->executeDirect("CREATE TABLE T (V TEXT)");
        s->executeDirect("WITH RECURSIVE C(X) AS (SELECT 1 UNION ALL SELECT X + 1 FROM C WHERE X < 5000) "
                         "INSERT INTO T SELECT printf('vrstica %08d', X) FROM C");
        s->executeDirect("PRAGMA wal_checkpoint(TRUNCATE)");
    }
    {
        QFile f(db.path());
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        const qint64 pageSize = 4096;
        ASSERT_GT(f.size(), 8 * pageSize);
        // The table's pages after its root: interior and leaf headers gone.
        for (qint64 page = f.size() / pageSize - 6; page < f.size() / pageSize - 1; ++page) {
            f.seek(page * pageSize);
            f.write(QByteArray(int(pageSize), '\xA5'));
        }
    }
    auto s = db.session();
    try {
        scalar(*s, "SELECT COUNT(*), MAX(V) FROM T");
        FAIL() << "a damaged table was read";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().startsWith("Datoteka baze podatkov je poškodovana."))
            << e.message().toStdString();
    }
}

// A connection that is gone (the server ended the session; here on SQLite
// the connection closed under the session) fails every later statement with
// the same explanation, never with an empty message.
TEST(EngineMessages, StatementsAfterTheConnectionIsGoneSaySo)
{
    TempDatabase db;
    auto s = db.session();
    if (rek2::test::onPostgres()) {
        const QString pid = scalar(*s, "select pg_backend_pid()").toString();
        scalar(*db.session(), "select pg_terminate_backend(" + pid + ")");
    } else {
        s->database().close();
    }
    const QString gone = "Povezava s strežnikom baze podatkov je prekinjena. Ko bo strežnik spet dosegljiv, "
                         "program zaprite in znova odprite. (";
    for (const auto& attempt : std::initializer_list<std::function<void()>>{
             [&] { scalar(*s, "select count(*) from REK2_SEQUENCES"); },
             [&] { scalar(*s, "select count(*) from REK2_SEQUENCES"); },
             [&] { s->StartTransaction(); },
         }) {
        try {
            attempt();
            ADD_FAILURE() << "a statement ran without a connection";
        } catch (const DbError& e) {
            EXPECT_TRUE(e.message().startsWith(gone)) << e.message().toStdString();
        }
    }
}

class QueryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        s = db.session();
        s->executeDirect(
            "CREATE TABLE DOG (IDDOG INTEGER, DAN DATE, NZV VARCHAR(20), ZNESEK DOUBLE PRECISION)");
        s->executeDirect(
            "INSERT INTO DOG VALUES (1, '2026-12-01', 'Prvi', 10.5), (2, '2026-12-10', NULL, 20)");
        q.SetSession(s.get());
    }
    TempDatabase db;
    std::unique_ptr<Session> s;
    Query q;
};

TEST_F(QueryTest, VariablesAreMatchedWithoutRegardToCaseOrColon)
{
    q.DeclareVariable(":DatumOd", VarType::Date);
    q.SetVariable("DATUMOD", QDateTime(QDate(2026, 12, 10), QTime(15, 30))); // time of day dropped
    q.SQL << "select IDDOG, NZV from DOG where DAN = :datumod";
    q.Execute();
    EXPECT_EQ(q.RowCount(), 1);
    EXPECT_EQ(q.FieldAsInteger("iddog"), 2);
    EXPECT_TRUE(q.FieldIsNull("NZV"));
    EXPECT_EQ(q.FieldAsString(1), QString());

    try {
        q.SetVariable("DatumDo", QDate(2026, 1, 1));
        FAIL() << "undeclared variable accepted";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), "Variable :DATUMDO not declared");
    }
}

TEST_F(QueryTest, UsedButUndeclaredVariableFails)
{
    q.SQL << "select IDDOG from DOG where IDDOG = :ID";
    EXPECT_THROW(q.Execute(), DbError);
}

TEST_F(QueryTest, EmptyTextIsBoundAsNull)
{
    q.DeclareVariable("NZV", VarType::String);
    q.SetVariable("NZV", QString(""));
    q.SQL << "UPDATE DOG SET NZV = :NZV WHERE IDDOG = 1";
    q.Execute();
    EXPECT_EQ(q.RowsProcessed(), 1);
    EXPECT_EQ(scalar(*s, "select count(*) from DOG where NZV is null").toInt(), 2);
}

TEST_F(QueryTest, SelectWithoutRowGivesRowCountZeroAndKeepsTextAfterClose)
{
    q.SQL << "select ZNESEK from DOG where IDDOG = 99";
    q.Execute();
    EXPECT_EQ(q.RowCount(), 0);
    EXPECT_EQ(q.FieldCount(), 1);
    EXPECT_EQ(q.FieldAsFloat(0), 0.0);
    q.Close();
    q.SQL[0] = "select ZNESEK, DAN from DOG where IDDOG = 1";
    q.Execute();
    EXPECT_DOUBLE_EQ(q.FieldAsFloat(0), 10.5);
    EXPECT_EQ(q.FieldAsDate("DAN"), QDate(2026, 12, 1));
    EXPECT_THROW(q.Field("MISSING"), DbError);
}

TEST_F(QueryTest, EngineErrorIsPassedOnUnchanged)
{
    q.SQL << "select NOPE from DOG";
    try {
        q.Execute();
        FAIL();
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(),
                  test::onPostgres() ? "column \"nope\" does not exist" : "no such column: NOPE");
    }
}

} // namespace

// A database whose working tables are of another version is refused at
// logon with a message naming the difference, before anything is written.
TEST(Session, DatabaseOfAnotherSchemaVersionIsRefused)
{
    TempDatabase db;
    {
        auto s = db.session();
        s->executeDirect(
            "CREATE TABLE REK2_DOG (ID_DOG INTEGER, ID_REK2_ANAL INTEGER, XML_FILE VARCHAR(50))");
        s->executeDirect("INSERT INTO REK2_DOG VALUES (7, 1, NULL)");
    }
    Session s;
    s.LogonDatabase = db.path();
    try {
        s.LogOn();
        ADD_FAILURE() << "logged on";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(),
                  QString::fromUtf8("Baza podatkov je druge različice kot program: tabela REK2_DOG na 1. "
                                    "mestu nima stolpca ID_REK2_ANAL. Nič ni bilo zapisano; bazo je "
                                    "treba najprej nadgraditi."));
    }
    EXPECT_FALSE(s.Connected());
}
