#include "db/dataset.h"
#include "db/dataset_observer.h"
#include "db/db_test_util.h"
#include "db/error.h"
#include "db/row_cursor.h"

#include <QDate>
#include <QSqlQuery>

using namespace rek2;
using rek2::test::exec;
using rek2::test::scalar;
using rek2::test::TempDatabase;

namespace {

class DataSetTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        s = db.session(300);
        s->executeDirect(
            "CREATE TABLE ANAL (ID INTEGER PRIMARY KEY, NAZIV VARCHAR(100), BRUTO DOUBLE PRECISION, "
            "DATUM DATE, ID_ZBIR INTEGER)");
        s->executeDirect("CREATE TABLE STP (DAN DATE, STOPNJA DOUBLE PRECISION)");
        s->executeDirect("INSERT INTO ANAL VALUES (1, 'Novak', 100, '2026-12-01', 0), "
                         "(2, 'Čeh', 250.5, '2026-12-02', 7), (3, 'Kos', NULL, NULL, 0)");
        s->executeDirect("INSERT INTO STP VALUES ('2026-01-01', 25)");
        ds.SetSession(s.get());
        // A computed column from another table before the outer FROM.
        ds.SQL << "select A.*, (select S.STOPNJA from STP S) as Stopnja, A.ROWID from ANAL A order by ID";
    }
    QStringList names()
    {
        QStringList out;
        for (ds.First(); !ds.Eof(); ds.Next())
            out << ds.FieldByName("naziv")->AsString();
        return out;
    }
    // The typed reads give what Value() gives, converted.
    void expectTypedReadsAgree(int r, int c)
    {
        const QVariant v = ds.Value(r, c);
        bool null = false;
        EXPECT_EQ(ds.NumberValue(r, c, &null), v.toDouble()) << "row " << r << " column " << c;
        EXPECT_EQ(null, v.isNull()) << "row " << r << " column " << c;
        EXPECT_EQ(ds.TextValue(r, c), v.toString()) << "row " << r << " column " << c;
        if (ds.Fields(c)->DataType() == FieldType::Date) {
            EXPECT_EQ(ds.DateValue(r, c), v.toDate()) << "row " << r << " column " << c;
        }
    }
    TempDatabase db;
    std::unique_ptr<Session> s;
    DataSet ds{"odsNabor"};
};

TEST_F(DataSetTest, OpensWholeResultWithTypedFields)
{
    ds.Open();
    EXPECT_EQ(ds.RecordCount(), 3);
    EXPECT_EQ(names(), (QStringList{"Novak", "Čeh", "Kos"}));
    ds.First();
    ds.Next();
    TField* bruto = ds.FieldByName("BRUTO");
    EXPECT_EQ(bruto->DataType(), FieldType::Float);
    EXPECT_DOUBLE_EQ(bruto->AsFloat(), 250.5);
    EXPECT_EQ(bruto->AsString(), "250.5");
    EXPECT_EQ(ds.FieldByName("DATUM")->AsDate(), QDate(2026, 12, 2));
    EXPECT_EQ(ds.FieldByName("DATUM")->AsString(), "02.12.2026");
    EXPECT_EQ(ds.FieldByName("Stopnja")->AsInteger(), 25);
    EXPECT_FALSE(ds.FieldByName("ROWID")->Visible());
    EXPECT_EQ(ds.FindField("NOPE"), nullptr);
    try {
        ds.FieldByName("NOPE");
        FAIL();
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), "odsNabor: Field 'NOPE' not found");
    }
    ds.Last();
    EXPECT_TRUE(ds.FieldByName("BRUTO")->IsNull());
    EXPECT_EQ(ds.FieldByName("BRUTO")->AsFloat(), 0.0);
}

// Typed reads of every row give the values read, NULLs included; the row
// being edited gives its edited values.
TEST_F(DataSetTest, TypedReadsGiveTheValuesOfTheRows)
{
    ds.Open();
    for (int r = 0; r < ds.RecordCount(); ++r)
        for (int c = 0; c < 6; ++c)
            expectTypedReadsAgree(r, c);
    EXPECT_EQ(ds.DateValue(1, ds.FieldIndex("DATUM")), QDate(2026, 12, 2));
    EXPECT_FALSE(ds.DateValue(2, ds.FieldIndex("DATUM")).isValid());
    ds.First();
    ds.Next();
    ds.Edit();
    ds.FieldByName("BRUTO")->SetAsFloat(9);
    ds.FieldByName("NAZIV")->SetAsString("Zajc");
    EXPECT_EQ(ds.NumberValue(1, ds.FieldIndex("BRUTO")), 9);
    EXPECT_EQ(ds.TextValue(1, ds.FieldIndex("NAZIV")), "Zajc");
    ds.Cancel();
    EXPECT_EQ(ds.TextValue(1, ds.FieldIndex("NAZIV")), "Čeh");
}

TEST_F(DataSetTest, DefinedFieldsComeFirstWithTheirDisplayProperties)
{
    ds.AddField({"BRUTO", FieldType::Float, 0, "Bruto znesek", "#,##0.00"});
    FieldDef calc{"OPIS", FieldType::String, 40, "Opis"};
    calc.calculated = true;
    ds.AddField(calc);
    ds.OnCalcFields = [](DataSet& d) {
        d.FieldByName("OPIS")->SetAsString(d.FieldByName("NAZIV")->AsString() + "/" +
                                           d.FieldByName("ID")->AsString());
    };
    ds.Open();
    EXPECT_EQ(ds.Fields(0)->FieldName(), "BRUTO");
    EXPECT_EQ(ds.Fields(0)->DisplayLabel(), "Bruto znesek");
    EXPECT_EQ(ds.Fields(1)->FieldName(), "OPIS");
    EXPECT_FALSE(ds.FieldByName("NAZIV")->Visible()); // not defined: hidden
    EXPECT_EQ(ds.DisplayText(1, 1), "Čeh/2");
    EXPECT_EQ(ds.DisplayText(1, 0), "250,50");
    s->executeDirect("UPDATE ANAL SET BRUTO = 1234567.891 WHERE ID = 1");
    ds.Refresh();
    EXPECT_EQ(ds.DisplayText(0, 0), "1.234.567,89");

    DataSet missing;
    missing.SetSession(s.get());
    missing.SQL << "select ID from ANAL";
    missing.AddField({"NAZIV", FieldType::String});
    EXPECT_THROW(missing.Open(), DbError);
    EXPECT_FALSE(missing.Active());
}

TEST_F(DataSetTest, LocateFilterAndBookmarks)
{
    ds.Open();
    EXPECT_TRUE(ds.Locate("naziv;ID_ZBIR", {"ČEH", 7}));
    EXPECT_EQ(ds.RecNo(), 2);
    EXPECT_FALSE(ds.Locate("NAZIV", {"Če"})); // whole values only
    EXPECT_EQ(ds.RecNo(), 2);
    const auto mark = ds.GetBookmark();

    ds.SetFilter("ID_ZBIR = 0");
    ds.SetFiltered(true);
    EXPECT_EQ(names(), (QStringList{"Novak", "Kos"}));
    EXPECT_FALSE(ds.BookmarkValid(mark));
    ds.SetFiltered(false);
    ds.First();
    ds.GotoBookmark(mark);
    EXPECT_EQ(ds.FieldByName("NAZIV")->AsString(), "Čeh");
    ds.SetFilter("NAZIV <> 'Kos'");
    ds.SetFiltered(true);
    EXPECT_EQ(ds.RecordCount(), 2);
    EXPECT_THROW(ds.SetFilter("ID_ZBIR ~ 3"), DbError);
}

TEST_F(DataSetTest, PostUpdatesByRowidAndCommitsTheSession)
{
    ds.Open();
    s->StartTransaction();
    exec(*s, "INSERT INTO STP VALUES ('2026-06-01', 22)"); // earlier work of the same transaction
    ds.Locate("ID", {2});
    ds.Edit();
    ds.FieldByName("NAZIV")->SetAsString(""); // the empty text is NULL
    ds.FieldByName("BRUTO")->SetAsString("1.234,56");
    ds.Post();
    EXPECT_FALSE(s->InTransaction());
    auto other = db.session();
    EXPECT_EQ(scalar(*other, "select count(*) from STP").toInt(), 2);
    EXPECT_EQ(scalar(*other, "select count(*) from ANAL where ID = 2 and NAZIV is null").toInt(), 1);
    EXPECT_DOUBLE_EQ(scalar(*other, "select BRUTO from ANAL where ID = 2").toDouble(), 1234.56);
    EXPECT_TRUE(ds.FieldByName("NAZIV")->IsNull());
}

TEST_F(DataSetTest, InsertPostAndDeleteWriteTheTableNotTheSubqueryTable)
{
    ds.Open();
    int deleted = 0;
    ds.AfterDelete = [&](DataSet&) { ++deleted; };
    ds.Append();
    ds.FieldByName("ID")->SetAsInteger(4);
    ds.FieldByName("NAZIV")->SetAsString("Zupan");
    ds.FieldByName("DATUM")->SetAsDate(QDate(2026, 12, 10));
    ds.Post();
    EXPECT_EQ(ds.RecordCount(), 4);
    EXPECT_FALSE(ds.FieldByName("ROWID")->IsNull());
    EXPECT_EQ(scalar(*s, "select DATUM from ANAL where NAZIV = 'Zupan'").toString(), "2026-12-10");

    ds.Locate("NAZIV", {"novak"});
    ds.Delete();
    EXPECT_EQ(deleted, 1);
    EXPECT_EQ(ds.RecordCount(), 3);
    EXPECT_EQ(ds.FieldByName("NAZIV")->AsString(), "Čeh");
    EXPECT_EQ(scalar(*s, "select count(*) from ANAL where ID = 1").toInt(), 0);
    EXPECT_EQ(scalar(*s, "select count(*) from STP").toInt(), 1);
}

TEST_F(DataSetTest, BeforePostCanRefuseAndCancelRestores)
{
    ds.Open();
    ds.BeforePost = [](DataSet&) { throw DbError("zavrnjeno"); };
    ds.Edit();
    ds.FieldByName("NAZIV")->SetAsString("Drugi");
    EXPECT_THROW(ds.Post(), DbError);
    EXPECT_EQ(ds.State(), DataSetState::Edit);
    ds.Cancel();
    EXPECT_EQ(ds.FieldByName("NAZIV")->AsString(), "Novak");
    EXPECT_EQ(scalar(*s, "select NAZIV from ANAL where ID = 1").toString(), "Novak");
    EXPECT_THROW(ds.FieldByName("NAZIV")->SetAsString("x"), DbError); // not editing
}

// Two connections on one file: what the other user did wins, and the
// dataset reports it instead of overwriting it.
TEST_F(DataSetTest, ChangesOfAnotherUserAreNotOverwritten)
{
    auto other = db.session(300);
    ds.Open();
    ds.Edit();
    ds.FieldByName("NAZIV")->SetAsString("Moj");
    exec(*other, "UPDATE ANAL SET NAZIV = 'Njegov' WHERE ID = 1");
    try {
        ds.Post();
        FAIL() << "posted over another user's change";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), "Record has been changed by another user");
    }
    EXPECT_FALSE(s->InTransaction());
    EXPECT_EQ(scalar(*other, "select NAZIV from ANAL where ID = 1").toString(), "Njegov");

    ds.Cancel();
    ds.Refresh();
    ds.Last();
    exec(*other, "DELETE FROM ANAL WHERE ID = 3");
    try {
        ds.Delete();
        FAIL();
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), "Record has been deleted by another user");
    }
    try {
        ds.Edit();
        FAIL() << "edited a row another user deleted";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), "Record has been deleted by another user");
    }

    ds.First();
    ds.Edit();
    ds.FieldByName("BRUTO")->SetAsFloat(5);
    other->StartTransaction();
    exec(*other, "UPDATE ANAL SET ID_ZBIR = ID_ZBIR WHERE ID = 1"); // holds the row, changes nothing
    try {
        ds.Post();
        FAIL();
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), "Record is locked by another user");
    }
    other->Commit();
    ds.Post(); // the lock is gone
    EXPECT_DOUBLE_EQ(scalar(*other, "select BRUTO from ANAL where ID = 1").toDouble(), 5.0);
}

struct Recorder : DataSetObserver
{
    QStringList events;
    void dataSetReset(DataSet&) override { events << "reset"; }
    void currentRowChanged(DataSet&, int row) override { events << QString("current %1").arg(row); }
    void rowChanged(DataSet&, int row) override { events << QString("changed %1").arg(row); }
    void rowInserted(DataSet&, int row) override { events << QString("inserted %1").arg(row); }
    void rowRemoved(DataSet&, int row) override { events << QString("removed %1").arg(row); }
};

TEST_F(DataSetTest, ObserversFollowTheDataSetUnlessControlsAreDisabled)
{
    Recorder r;
    ds.addObserver(&r);
    ds.Open();
    EXPECT_EQ(r.events, (QStringList{"reset", "current 0"}));
    r.events.clear();
    ds.DisableControls();
    for (ds.First(); !ds.Eof(); ds.Next()) {
    }
    ds.EnableControls();
    EXPECT_EQ(r.events, (QStringList{"reset", "current 2"}));
    r.events.clear();
    ds.First();
    ds.Insert();
    ds.Cancel();
    EXPECT_EQ(r.events, (QStringList{"current 0", "inserted 0", "current 0", "removed 0", "current 0"}));
    ds.removeObserver(&r);
}

TEST_F(DataSetTest, RefreshKeepsTheCurrentRowAndFiresAfterRefresh)
{
    ds.Open();
    int refreshed = 0;
    ds.AfterRefresh = [&](DataSet&) { ++refreshed; };
    ds.Locate("ID", {3});
    exec(*s, "INSERT INTO ANAL (ID, NAZIV) VALUES (0, 'Prvi')");
    ds.Refresh();
    EXPECT_EQ(refreshed, 1);
    EXPECT_EQ(ds.RecordCount(), 4);
    EXPECT_EQ(ds.FieldByName("NAZIV")->AsString(), "Kos");
}

// Opening reads the engine's values itself; each must come out as the
// value-by-value conversion of what Qt's driver hands out (the column types
// below are declared, the stored values are whatever SQLite kept).
TEST_F(DataSetTest, FetchedValuesMatchTheDriverValuesConverted)
{
    REK2_SQLITE_ONLY(); // SQLite's columns hold values of any type
    s->executeDirect("CREATE TABLE MIX (K INTEGER, N INTEGER, F REAL, T VARCHAR(20), D DATE, V)");
    s->executeDirect("INSERT INTO MIX VALUES "
                     "(1, 7, 2.5, 'abc', '2026-12-01', 'x'), "
                     "(2, 2.6, 3, '', '1.2.2026', 7), "
                     "(3, -5, '1.234,56', 42, '2026-12-31 10:00', 1.5), "
                     "(4, NULL, NULL, 1.25, NULL, NULL), "
                     "(5, 9007199254740993, ' 7 ', 'Čšž', '2026-02-28', X'00ff')");
    ds.SQL = QStringList{"select M.*, M.ROWID from MIX M order by K"};
    ds.Open();
    ASSERT_EQ(ds.RecordCount(), 5);

    QSqlQuery q(s->database());
    ASSERT_TRUE(q.exec("select M.*, M.ROWID from MIX M order by K"));
    for (int r = 0; q.next(); ++r)
        for (int c = 0; c < 7; ++c) {
            const QVariant want = coerceToFieldType(q.value(c), ds.Fields(c)->DataType());
            EXPECT_EQ(ds.Value(r, c), want) << "row " << r << " column " << c;
            expectTypedReadsAgree(r, c);
        }
    EXPECT_EQ(ds.Value(1, 1), QVariant(3LL));
    EXPECT_TRUE(ds.Value(1, 3).isNull()); // the empty text is NULL
    EXPECT_DOUBLE_EQ(ds.Value(2, 2).toDouble(), 1234.56);
    EXPECT_EQ(ds.Value(2, 4), QVariant(QDate(2026, 12, 31)));
    EXPECT_EQ(ds.Value(4, 3), QVariant(QStringLiteral("Čšž")));

    // A cursor over the same statement gives the same values row by row,
    // texts also as UTF-8.
    RowCursor cursor("odsNabor");
    cursor.SetSession(s.get());
    cursor.SQL = ds.SQL;
    cursor.Open();
    int r = 0;
    for (; cursor.Next(); ++r)
        for (int c = 0; c < 6; ++c) {
            EXPECT_EQ(cursor.Value(c), ds.Value(r, c)) << "row " << r << " column " << c;
            EXPECT_EQ(cursor.IsNull(c), ds.Value(r, c).isNull()) << "row " << r << " column " << c;
            EXPECT_EQ(QString::fromUtf8(cursor.Text(c)), ds.Value(r, c).toString())
                << "row " << r << " column " << c;
        }
    EXPECT_EQ(r, 5);
}

// Rows a dataset sorts itself after reading come in the order SQLite's own
// ORDER BY gives: empty values first or last, numbers of both kinds by value
// before texts, texts byte by byte (the empty text is not NULL there), blobs
// last, equal rows in the order read.
TEST_F(DataSetTest, RowsSortedInMemoryComeInTheEnginesOrder)
{
    REK2_SQLITE_ONLY(); // SQLite's columns hold values of any type
    s->executeDirect("CREATE TABLE ORD (ID INTEGER PRIMARY KEY, A, B VARCHAR(20), D DATE)");
    s->executeDirect(
        "INSERT INTO ORD VALUES "
        "(1, 'b', 'x', '2026-12-09'), (2, NULL, 'x', NULL), (3, 2, NULL, '2026-12-08'), "
        "(4, 'b', NULL, '2026-12-09'), (5, 1.5, 'y', NULL), (6, '', 'x', '2026-12-10'), "
        "(7, 'B', 'x', '2026-12-09'), (8, X'00', 'x', '2026-12-08'), (9, 'Č', 'z', '2026-12-09'), "
        "(10, 'b', 'x', '2026-12-09'), (11, NULL, NULL, NULL), (12, 2, 'a', '2026-12-08'), "
        "(13, 'ba', 'x', '2026-12-09'), (14, -3, 'x', '2026-12-09'), (15, 'Cz', '', NULL)");
    struct Case
    {
        const char* engineOrder;
        std::vector<OrderKey> keys;
    };
    const Case cases[] = {
        {"A NULLS LAST, B NULLS LAST", {{"A", true}, {"B", true}}},
        {"A, B", {{"A", false}, {"B", false}}},
        {"B NULLS LAST, D NULLS LAST, A", {{"B", true}, {"D", true}, {"A", false}}},
        {"D, B NULLS LAST, ID", {{"D", false}, {"B", true}, {"ID", false}}},
    };
    for (const Case& c : cases) {
        QSqlQuery q(s->database());
        ASSERT_TRUE(q.exec(QString("select ID from ORD order by %1, ID").arg(c.engineOrder)));
        QList<qlonglong> want;
        while (q.next())
            want << q.value(0).toLongLong();

        DataSet sorted;
        sorted.SetSession(s.get());
        sorted.SQL = QStringList{"select O.*, O.ROWID from ORD O order by ID"};
        sorted.SetEngineSQL(s->engine(), {"select O.*, O.ROWID from ORD O order by ID"}, c.keys);
        sorted.Open();
        QList<qlonglong> got;
        for (int r = 0; r < sorted.RecordCount(); ++r)
            got << sorted.Value(r, sorted.FieldIndex("ID")).toLongLong();
        EXPECT_EQ(got, want) << c.engineOrder;

        // A cursor given the rows unsorted finds them out of order (the
        // table's order is none of these) and the stored text then sorts
        // them; given them in that order already, it reads them once. The
        // keys end with ID, or the tied rows count as out of order.
        std::vector<OrderKey> keys = c.keys;
        if (keys.back().column != "ID")
            keys.push_back({"ID", false});
        QStringList orderText;
        for (const OrderKey& key : keys)
            orderText << key.column + (key.nullsLast ? " NULLS LAST" : " NULLS FIRST");
        const QString stored = "select O.ID, O.A, O.B, O.D from ORD O order by " + orderText.join(", ");
        struct Reading
        {
            QString engineText;
            bool outOfOrder;
        };
        const Reading readings[] = {{"select O.ID, O.A, O.B, O.D from ORD O", true}, {stored, false}};
        for (const Reading& reading : readings) {
            RowCursor cursor;
            cursor.SetSession(s.get());
            cursor.SQL = QStringList{stored};
            cursor.SetEngineSQL(s->engine(), {reading.engineText}, keys);
            QList<qlonglong> read;
            bool outOfOrder = false;
            for (int pass = 0; pass < 2; ++pass) {
                read.clear();
                cursor.Open();
                while (cursor.Next())
                    read << cursor.Value(0).toLongLong();
                if (!cursor.OutOfOrder())
                    break;
                outOfOrder = true;
            }
            EXPECT_EQ(read, want) << c.engineOrder << " / " << reading.engineText.toStdString();
            EXPECT_EQ(outOfOrder, reading.outOfOrder)
                << c.engineOrder << " / " << reading.engineText.toStdString();
        }
    }

    DataSet unknown;
    unknown.SetSession(s.get());
    unknown.SQL = QStringList{"select ID from ORD"};
    unknown.SetEngineSQL(s->engine(), {"select ID from ORD"}, {{"NOSUCH", false}});
    EXPECT_THROW(unknown.Open(), DbError);
    EXPECT_FALSE(unknown.Active());
    RowCursor unknownCursor;
    unknownCursor.SetSession(s.get());
    unknownCursor.SQL = unknown.SQL;
    unknownCursor.SetEngineSQL(s->engine(), {"select ID from ORD"}, {{"NOSUCH", false}});
    EXPECT_THROW(unknownCursor.Open(), DbError);
}

TEST_F(DataSetTest, ErrorWhileFetchingLeavesTheDataSetClosed)
{
    s->executeDirect("CREATE TABLE P (ID INTEGER)");
    s->executeDirect("CREATE TABLE Q (PID INTEGER, X INTEGER)");
    s->executeDirect("INSERT INTO P VALUES (1), (2), (3)");
    s->executeDirect("INSERT INTO Q VALUES (1, 10), (2, 20), (2, 21), (3, 30)");
    // The second row's scalar subquery finds two rows: an error, as on Oracle.
    ds.SQL = QStringList{"select P.ID, (select Q.X from Q where Q.PID = P.ID) as X from P order by P.ID"};
    EXPECT_THROW(ds.Open(), DbError);
    EXPECT_FALSE(ds.Active());
    // A cursor meets the error too, at the latest at the row that has it.
    RowCursor cursor;
    cursor.SetSession(s.get());
    cursor.SQL = ds.SQL;
    EXPECT_THROW(
        {
            cursor.Open();
            while (cursor.Next()) {
            }
        },
        DbError);

    if (test::onPostgres())
        return; // the server itself refuses a date that is not one
    s->executeDirect("CREATE TABLE W (D DATE)");
    s->executeDirect("INSERT INTO W VALUES ('2026-12-01'), ('ni datum')");
    ds.SQL = QStringList{"select D from W"};
    try {
        ds.Open();
        FAIL();
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), "'ni datum' is not a valid date");
    }
    EXPECT_FALSE(ds.Active());
}

} // namespace
