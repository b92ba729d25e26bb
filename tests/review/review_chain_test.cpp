#include "edit/qstring_print.h"
#include "review/pregled.h"
#include "review/review_chain.h"

#include <gtest/gtest.h>

using namespace rek2::review;

namespace {

struct ChainCase
{
    const char* name;
    std::vector<ChainEntry> entries;
    std::vector<bool> superseded;
    int from;
    int newest;
};

TEST(ReviewChain, SupersededAndNewestMember)
{
    const ChainCase cases[] = {
        {"cancelled original", {{"E-1", "", "O"}, {"", "E-1", "S"}}, {true, false}, 0, 1},
        {"original, correction, cancellation of the correction",
         {{"E-1", "", "O"}, {"E-2", "E-1", "P"}, {"", "e-2", "S"}},
         {true, true, false},
         0,
         2},
        {"a chain stops at a member without number",
         {{"E-1", "", "O"}, {"", "E-1", "X"}, {"", "", "S"}},
         {true, false, false},
         0,
         1},
        {"a second part supplements, it does not replace",
         {{"E-1", "", "O"}, {"E-2", "E-1", "D"}},
         {false, false},
         0,
         0},
        {"every determined kind replaces",
         {{"E-1", "", "O"}, {"E-2", "E-1", "A"}, {"E-3", "E-2", "I"}, {"", "E-3", "Z"}},
         {true, true, true, false},
         0,
         3},
        {"a number nobody refers to", {{"E-1", "", "O"}, {"", "E-9", "S"}}, {false, false}, 0, 0},
        {"a cycle in stored data ends the walk",
         {{"E-1", "E-2", "P"}, {"E-2", "E-1", "P"}},
         {true, true},
         0,
         1},
        {"a summary referring to its own number", {{"E-1", "E-1", "X"}}, {false}, 0, 0},
    };
    for (const ChainCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(supersededFlags(c.entries), c.superseded);
        for (int i = 0; i < int(c.entries.size()); ++i)
            EXPECT_EQ(isSuperseded(c.entries, i), c.superseded[size_t(i)]) << i;
        EXPECT_EQ(newestMember(c.entries, c.from), c.newest);
    }
}

TEST(ReviewTree, NodeTextsAndWhatAClickReadsBack)
{
    struct Case
    {
        QString sfvp;
        QVariant coupon;
        QString type;
        int id;
        QDate izp, plc;
        QString text;
    };
    const Case cases[] = {
        {"KRKG", 12, "O", 101, {2026, 11, 30}, {2026, 12, 5}, "KRKG_12_O_101 ( 30.11.2026 - 05.12.2026 )"},
        {"A/B C", QVariant(), "S", 7, {2026, 1, 2}, QDate(), "A-BC__S_7 ( 02.01.2026 -  )"},
        {"X:Y", 3, "P", 42, {2025, 12, 31}, {2025, 12, 31}, "X-Y_3_P_42 ( 31.12.2025 - 31.12.2025 )"},
    };
    for (const Case& c : cases) {
        const QString text = nodeText(c.sfvp, c.coupon, c.type, c.id, c.izp, c.plc);
        EXPECT_EQ(text, c.text);
        const auto key = parseNodeText(text);
        ASSERT_TRUE(key.has_value()) << text.toStdString();
        EXPECT_EQ(key->id, QString::number(c.id));
        EXPECT_EQ(key->correctionType, c.type);
        EXPECT_EQ(key->datumIzp, c.izp.toString("dd.MM.yyyy"));
        EXPECT_EQ(key->datumPlcDvk, c.plc.isValid() ? c.plc.toString("dd.MM.yyyy") : QString());
    }
    EXPECT_FALSE(parseNodeText("REK2").has_value());
}

} // namespace
