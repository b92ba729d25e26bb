#include "base/event_codes.h"
#include "collect/grouping.h"
#include "db/error.h"

#include <gtest/gtest.h>

using namespace rek2;
using namespace rek2::collect;

TEST(EventCodes, AcceptsNumbersOrQuotedCodesOnly)
{
    struct Case
    {
        const char* codes;
        bool valid;
    };
    const Case cases[] = {
        {"601", true},
        {"601, 602,603", true},
        {"'601','R7'", true},
        {" '601' , 602 ", true},
        {"", false},
        {"  ", false},
        {"601,", false},
        {"601;602", false},
        {"'6''01'", false},
        {"60 1", false},
        {"'601') OR (1=1", false},
        {"601) UNION SELECT 1 FROM DOG --", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isValidEventCodeList(QString::fromUtf8(c.codes)), c.valid) << c.codes;
}

TEST(Grouping, RoundsCentsHalfToEvenOfTheQuotient)
{
    // Halves go to the even cent; what counts is the binary quotient, so
    // 0.145 (14.4999... cents) goes down.
    EXPECT_DOUBLE_EQ(roundCents(0.125), 0.12);
    EXPECT_DOUBLE_EQ(roundCents(0.025), 0.02);
    EXPECT_DOUBLE_EQ(roundCents(0.145), 0.14);
    EXPECT_DOUBLE_EQ(roundCents(0.375), 0.38);
    EXPECT_DOUBLE_EQ(roundCents(-0.125), -0.12);
    EXPECT_DOUBLE_EQ(roundCents(12.344), 12.34);
    EXPECT_DOUBLE_EQ(roundCents(12.346), 12.35);
}

TEST(Grouping, SumsOfOneGroup)
{
    // BRUTO 100, withheld 25, no foreign credit: 75 net, 25 tax, nothing foreign.
    GroupTotals t;
    AnalyticRow a;
    a.rez = "R";
    a.bruto = 100;
    a.davOdtObr = 25;
    t.add(a);
    EXPECT_DOUBLE_EQ(t.neto, 75);
    EXPECT_DOUBLE_EQ(t.sumO2 + t.sumT, 25);
    EXPECT_DOUBLE_EQ(t.sumT, 0);

    // A non-resident at the reduced rate: counted apart, its gross in
    // DOH_NEREZ and in the reduced-rate base. Net uses the rounded amounts,
    // income the amounts as stored.
    AnalyticRow b;
    b.rez = "N";
    b.znizanaStopnja = "D";
    b.bruto = 10.004;
    b.davOdtObr = 1.006;
    b.davOdtOdbTuj = 0.5;
    t.add(b);
    EXPECT_EQ(t.stZapRez, 1);
    EXPECT_EQ(t.stZapNerez, 1);
    EXPECT_NEAR(t.neto, 75 + (10.00 - 1.01 - 0.50), 1e-9);
    EXPECT_NEAR(t.doh, 110.004, 1e-9);
    EXPECT_NEAR(t.dohNerez, 10.004, 1e-9);
    EXPECT_NEAR(t.znzStp, 1.01, 1e-9);
    EXPECT_NEAR(t.znzOsn, 10.004, 1e-9);
    EXPECT_NEAR(t.sumO2 + t.sumT, 25 + 1.01 + 0.5, 1e-9);
}

TEST(Grouping, GroupsAreRunsOfEqualCouponKindAndDates)
{
    auto row = [](int id, QVariant kpn, const char* kind, QDate plc) {
        AnalyticRow r;
        r.id = id;
        r.sfkpn = kpn;
        r.sifVrsteDoh = kind;
        r.datumIzp = QDate(2009, 6, 15);
        r.datumPlcDvk = plc;
        r.sfvp = id == 2 ? "OTHER" : "KRKG"; // the security is not compared
        return r;
    };
    const QDate d(2009, 6, 15);
    const auto groups = buildGroups({row(1, 501, "1920", d), row(2, 501, "1920", d),
                                     row(3, 501, "1920", QDate()), row(4, 501, "1920", QDate()),
                                     row(5, QVariant(), "1920", QDate()), row(6, QVariant(), "1920", QDate()),
                                     row(7, 502, "1920", QDate()), row(8, 502, "1901", QDate())});
    ASSERT_EQ(groups.size(), 5u);
    EXPECT_EQ(groups[0].rowIds, (std::vector<int>{1, 2}));
    EXPECT_EQ(groups[1].rowIds, (std::vector<int>{3, 4})); // empty tax date equals empty tax date
    EXPECT_EQ(groups[2].rowIds, (std::vector<int>{5, 6})); // and an empty coupon an empty coupon
    EXPECT_EQ(groups[3].rowIds, (std::vector<int>{7}));
    EXPECT_EQ(groups[4].rowIds, (std::vector<int>{8}));
}

// The duplicate check's tax numbers are counted per group as the rows go by;
// a row without one, or of identifier 0 (never re-assigned to the summary),
// does not count.
TEST(Grouping, RepeatedTaxNumbersOfEachGroup)
{
    const QDate d(2009, 6, 15);
    auto row = [&](int id, int kpn, const QString& dvs) {
        AnalyticRow r;
        r.id = id;
        r.sfkpn = kpn;
        r.sifVrsteDoh = "1920";
        r.datumIzp = d;
        r.dvs = dvs;
        return r;
    };
    // Eight-digit numbers, a longer text, texts that differ only in length or
    // beyond plain ASCII, and one a shorter one is the start of.
    const auto groups = buildGroups(
        {row(1, 501, "22222222"), row(2, 501, "11111111"), row(3, 501, "22222222"), row(4, 501, ""),
         row(5, 501, ""), row(0, 501, "11111111"), row(6, 501, "11111111"), row(7, 501, "1111111"),
         row(8, 501, "123456789"), row(9, 501, "123456789"), row(10, 501, "Čopič"), row(11, 501, "Čopič"),
         row(12, 501, "Čopi"), row(13, 501, "12345678"), row(14, 502, "22222222"), row(15, 502, "33333333")});
    ASSERT_EQ(groups.size(), 2u);
    std::vector<std::pair<QString, int>> repeated;
    for (const auto& r : groups[0].repeated)
        repeated.emplace_back(r.dvs, r.count);
    EXPECT_EQ(repeated, (std::vector<std::pair<QString, int>>{
                            {"11111111", 2}, {"123456789", 2}, {"22222222", 2}, {"Čopič", 2}}));
    EXPECT_TRUE(groups[1].repeated.empty()) << "22222222 of another group is not a repeat";
}

TEST(Grouping, DocumentKindOfANewSummary)
{
    const QDate start(2008, 7, 1);
    struct Case
    {
        QDate izp, plc;
        const char* type;
    };
    const Case cases[] = {
        {QDate(2008, 6, 30), QDate(), "O"},
        {QDate(2008, 6, 30), QDate(2008, 6, 30), "O"},
        {QDate(2008, 6, 30), QDate(2008, 7, 5), "O"}, // paid out before daily reporting began
        {QDate(2008, 7, 1), QDate(2008, 7, 5), "D"},
        {QDate(2008, 6, 20), QDate(2008, 6, 30), "D"}, // both before the first day
    };
    for (const auto& c : cases)
        EXPECT_EQ(correctionType(c.izp, c.plc, start, true), QString::fromLatin1(c.type))
            << c.izp.toString().toStdString() << " " << c.plc.toString().toStdString();

    // A first day that is not a date only matters for a later tax date.
    EXPECT_EQ(correctionType(QDate(2008, 7, 1), QDate(2008, 7, 1), QDate(), false), "O");
    EXPECT_THROW(correctionType(QDate(2008, 7, 1), QDate(2008, 7, 5), QDate(), false), rek2::DbError);
}

TEST(Grouping, ReassignmentCutsInListsAtAThousand)
{
    std::vector<int> ids;
    for (int i = 1; i <= 1001; ++i)
        ids.push_back(i);
    ids.push_back(0); // not yet numbered: left out
    const QString sql = reassignmentSql(77, ids);
    const QStringList lines = sql.split('\n');
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], " UPDATE REK2_ANAL SET ID_REK2_ZBIR=77 WHERE");
    EXPECT_TRUE(lines[1].startsWith(" ID_REK2_ANAL IN (1,2,3,"));
    EXPECT_TRUE(lines[1].endsWith(",999,1000) "));
    EXPECT_EQ(lines[2], " OR ");
    EXPECT_EQ(lines[3], " ID_REK2_ANAL IN (1001) ");

    EXPECT_EQ(reassignmentSql(77, {0}), QString());
    EXPECT_EQ(reassignmentIds({5, 0, 12, 7}), "[5,12,7]");
    EXPECT_EQ(reassignmentIds({0}), "[]");
    EXPECT_EQ(idList({3, 14, 15}), "3, 14, 15");
}
