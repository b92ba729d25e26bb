#include "base/settings.h"
#include "db/dataset.h"
#include "db/db_test_util.h"
#include "returns/identifiers.h"
#include "returns/working_statements.h"
#include "support/fixture_db.h"
#include "support/test_engine.h"

#include <QDate>

using namespace rek2;
using rek2::test::FixtureDb;

namespace {

std::unique_ptr<Session> logOn(const FixtureDb& f)
{
    auto s = std::make_unique<Session>();
    s->LogonDatabase = f.path();
    s->LogOn();
    return s;
}

TEST(GetNewID, DrawsFromTheSequenceOfTheKindWithTheStatementOfTheDatabaseType)
{
    FixtureDb f;
    auto s = logOn(f);
    test::setNextSequenceValue(*s, "ID_REK2_ANAL_SEQ", 100);
    test::setNextSequenceValue(*s, "ID_REK2_ZBIR_SEQ", 500);
    const struct
    {
        const char* tipBaze;
        const char* kind;
        bool db2Text;
        int id;
    } cases[] = {
        {"ORACLE", "Analitika", false, 100}, {"ORACLE", "Zbirni", false, 500}, {"ORACLE", "", false, 501},
        {"DB2", "Analitika", true, 101},     {"db2", "Zbirni", false, 502},    {"", "Analitika", false, 102},
        {"DB2", "analitika", true, 503},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.tipBaze) + "/" + c.kind);
        EXPECT_EQ(newIdStatement(c.tipBaze, c.kind).contains("SYSIBM.SYSDUMMY1"), c.db2Text);
        EXPECT_EQ(GetNewID(*s, QString(c.tipBaze), QString(c.kind)), c.id);
    }
    Settings missingTipBaze; // no TIPBAZE row: the default type
    EXPECT_EQ(GetNewID(*s, missingTipBaze, "Analitika"), 103);
}

class WorkingStatementsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        f.exec("INSERT INTO OSB (SFOSB, NZV, SFDRZ) VALUES (10, 'Izdajatelj', 'S')");
        f.exec("INSERT INTO SFVP (SFVP, KRT, SFOSBIZD) VALUES (1, 'KRKG', 10)");
        f.exec("INSERT INTO KPN (SFKPN, SFVP, SFOBR, STKPN) VALUES (1, 1, 'D', 30), (2, 1, 'O', 31)");
        f.exec("INSERT INTO DVK_STP (SFDRZ, TIP, DAN, STOPNJA) VALUES ('S', 'D', '2020-01-01', 25)");
        // id, summary, payout date, tax date, coupon
        const char* rows[] = {
            "(1, 0, '2026-12-05', NULL, 1)",         // no link: pending
            "(2, 0, '2026-12-06', NULL, 1)",         // every link written to XML
            "(3, 0, '2026-12-07', NULL, 1)",         // one link still without XML
            "(4, 0, '2026-11-20', '2026-12-03', 1)", // tax paid later: belongs to December
            "(5, 0, '2026-12-08', '2026-12-08', 2)", // same day; no rate for kind 'O'
            "(6, 9, '2026-12-09', NULL, 1)",
        };
        for (const char* r : rows)
            f.exec(
                QString(
                    "INSERT INTO REK2_ANAL (ID_REK2_ANAL, ID_REK2_ZBIR, DATUM_IZP_DIV, DATUM_PLC_DVK, SFKPN, "
                    "SIF_VRSTE_DOH) VALUES %1")
                    .arg(QString::fromLatin1(r).replace(")", ", '1901')")));
        f.exec("INSERT INTO REK2_DOG (ID_REK2_ANAL, ID_DOG, XML_FILE) VALUES (2, 20, 'a.xml'), (2, 21, "
               "'b.xml'), "
               "(3, 30, 'c.xml'), (3, 31, NULL)");
        f.exec("INSERT INTO REK2_ZBIR (ID_REK2_ZBIR, SIF_VRSTE_DOH) VALUES (9, '1901'), (10, '1901'), (11, "
               "'1902')");
        s = logOn(f);
        ds.SetSession(s.get());
    }
    QList<int> ids()
    {
        QList<int> out;
        for (ds.First(); !ds.Eof(); ds.Next())
            out << ds.FieldByName("ID_REK2_ANAL")->AsInteger();
        return out;
    }
    FixtureDb f;
    std::unique_ptr<Session> s;
    DataSet ds{"odsNabor"};
};

TEST_F(WorkingStatementsTest, AnalyticViewShowsPendingRowsOfThePeriod)
{
    openAnalyticWorking(ds, QDate(2026, 12, 1), QDate(2026, 12, 31));
    EXPECT_EQ(ids(), (QList<int>{4, 1, 3, 5, 6}));
    ds.Locate("ID_REK2_ANAL", {1});
    EXPECT_EQ(ds.FieldByName("STOPNJA")->AsInteger(), 25);
    ds.Locate("ID_REK2_ANAL", {5});
    EXPECT_TRUE(ds.FieldByName("Stopnja")->IsNull());

    openAnalyticWorking(ds, QDate(2026, 11, 1), QDate(2026, 11, 30));
    EXPECT_TRUE(ds.IsEmpty()); // row 4 belongs to the month of its tax date

    openAnalyticWorking(ds, QDate(2026, 12, 1), QDate(2026, 12, 31), 9);
    EXPECT_EQ(ids(), QList<int>{6});
    EXPECT_EQ(analyticWorkingStatement(9).at(7), " AND ID_REK2_ZBIR=9");
}

TEST_F(WorkingStatementsTest, SummaryViewIsNeverOpenedWithAnEmptyList)
{
    EXPECT_EQ(joinIds({9, 11}), "9, 11");
    EXPECT_TRUE(openSummarySelection(ds, joinIds({11, 9})));
    EXPECT_EQ(ds.RecordCount(), 2);
    EXPECT_EQ(ds.FieldByName("ID_REK2_ZBIR")->AsInteger(), 9);

    EXPECT_FALSE(openSummarySelection(ds, joinIds({})));
    EXPECT_FALSE(ds.Active());
    EXPECT_TRUE(ds.IsEmpty());

    openSummarySelectionAll(ds);
    EXPECT_EQ(ds.RecordCount(), 3);
}

} // namespace
