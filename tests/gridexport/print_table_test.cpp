#include "db/dataset.h"
#include "db/local_database.h"
#include "gridexport/print_table.h"

#include <QDate>
#include <gtest/gtest.h>

using rek2::DataSet;
using rek2::FieldDef;
using rek2::FieldType;
using rek2::LocalDatabase;
using rek2::PrintTable;
using rek2::SumOperator;

namespace {

// Payouts by security (VP), coupon and recipient, with gross and rate.
struct Payouts
{
    LocalDatabase db;
    DataSet ds{QStringLiteral("odsPayouts")};

    Payouts()
    {
        const QString t = db.createTable(QStringLiteral("P"), {{"VP", FieldType::String},
                                                               {"KUPON", FieldType::Integer},
                                                               {"DATUM", FieldType::Date},
                                                               {"BRUTO", FieldType::Float},
                                                               {"TECAJ", FieldType::Float},
                                                               {"IME", FieldType::String}});
        auto add = db.appender(t, 6);
        const QVector<QVector<QVariant>> rows{
            {"KRKG", 2, QDate(2026, 5, 4), 100.0, 10.0, "Ana"},
            {"KRKG", 1, QDate(2026, 5, 2), 50.0, 20.0, "Bor"},
            {"KRKG", 1, QDate(2026, 5, 3), 25.5, 30.0, "Cene"},
            {"PETG", 1, QDate(2026, 6, 1), 10.0, 40.0, "Dan"},
            // A real value that equals an old-style total marker must stay a value.
            {"PETG", -32000, QDate(2999, 3, 10), 68719476736.0, 0.0, "Eva"},
        };
        for (const auto& r : rows)
            add->append(r.constData());
        add->commit();
        ds.SetSession(&db.session());
        ds.SQL = QStringList{QStringLiteral("SELECT * FROM ") + t};
        const auto def = [](const char* name, FieldType type, const char* label, const char* format = "") {
            FieldDef d{QString::fromLatin1(name), type};
            d.displayLabel = QString::fromUtf8(label);
            d.displayFormat = QString::fromLatin1(format);
            return d;
        };
        ds.AddField(def("VP", FieldType::String, "VP"));
        ds.AddField(def("KUPON", FieldType::Integer, "Kupon"));
        ds.AddField(def("DATUM", FieldType::Date, "Datum"));
        ds.AddField(def("BRUTO", FieldType::Float, "Bruto znesek", "#,##0.00"));
        ds.AddField(def("TECAJ", FieldType::Float, "Tečaj", "#,##0.00"));
        ds.AddField(def("IME", FieldType::String, "Ime"));
        ds.Open();
    }
};

// The result as text: one line per row, cells joined by "|".
QStringList rowsOf(const DataSet& ds)
{
    QStringList out;
    QVector<int> shown;
    for (int f = 0; f < ds.FieldCount(); ++f)
        if (ds.Fields(f)->Visible())
            shown << f;
    for (int r = 0; r < ds.RecordCount(); ++r) {
        QStringList cells;
        for (int f : shown)
            cells << ds.DisplayText(r, f);
        out << cells.join(QLatin1Char('|'));
    }
    return out;
}

} // namespace

TEST(PrintTable, DefaultListsFollowTheColumnKinds)
{
    Payouts p;
    PrintTable t(p.ds, rek2::visibleColumns(p.ds));
    // VP, Kupon, Datum grouped and marked; Bruto SUM, Tečaj AVG; Ime left out; N summed last.
    ASSERT_EQ(t.groups.size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(t.groups[i].column, i + 1);
        EXPECT_TRUE(t.groups[i].marked);
    }
    ASSERT_EQ(t.sums.size(), 3);
    EXPECT_EQ(t.sums[0].column, 4);
    EXPECT_EQ(t.sums[0].op, SumOperator::Sum);
    EXPECT_EQ(t.sums[1].op, SumOperator::Avg);
    EXPECT_EQ(t.sums[2].column, 0);
    EXPECT_EQ(t.columns()[0].name, QStringLiteral("N"));
    EXPECT_EQ(t.totalLabel, QString(33, QChar(0xD7)));

    // A title click on "Kupon": VP and Kupon grouped, Datum becomes MAX.
    t.setGroupsUpTo(2);
    ASSERT_EQ(t.groups.size(), 2);
    ASSERT_EQ(t.sums.size(), 4);
    EXPECT_EQ(t.sums[0].column, 3);
    EXPECT_EQ(t.sums[0].op, SumOperator::Max);
}

TEST(PrintTable, SortiranjeListsAllRowsInGroupOrderAndOneTotal)
{
    Payouts p;
    PrintTable t(p.ds, rek2::visibleColumns(p.ds));
    t.setGroupsUpTo(2); // VP, Kupon
    t.sums = {{4, SumOperator::Sum}, {0, SumOperator::Sum}};
    t.totalLabel = QStringLiteral("Skupaj");
    t.copyRows();
    DataSet result;
    t.openSorted(result);
    EXPECT_EQ(rowsOf(result), (QStringList{
                                  "KRKG|1|50,00|1",
                                  "KRKG|1|25,50|1",
                                  "KRKG|2|100,00|1",
                                  "PETG|-32000|68.719.476.736,00|1",
                                  "PETG|1|10,00|1",
                                  "Skupaj|Skupaj|68.719.476.921,50|5",
                              }));
}

TEST(PrintTable, GrupiranjeGivesOneLevelPerMarkedFieldWithSubtotalsAfterTheirGroups)
{
    Payouts p;
    PrintTable t(p.ds, rek2::visibleColumns(p.ds));
    t.setGroupsUpTo(2); // VP, Kupon, both marked
    t.sums = {{4, SumOperator::Sum}, {5, SumOperator::Avg}, {0, SumOperator::Sum}};
    t.totalLabel = QStringLiteral("Skupaj");
    t.copyRows();
    DataSet result;
    t.openGrouped(result);
    EXPECT_EQ(rowsOf(result), (QStringList{
                                  "KRKG|1|75,50|25,00|2",
                                  "KRKG|2|100,00|10,00|1",
                                  "KRKG|Skupaj|175,50|20,00|3",
                                  "PETG|-32000|68.719.476.736,00|0,00|1",
                                  "PETG|1|10,00|40,00|1",
                                  "PETG|Skupaj|68.719.476.746,00|20,00|2",
                                  "Skupaj|Skupaj|68.719.476.921,50|20,00|5",
                              }));

    // Unmarking VP: its level goes; Kupon's level still groups by both.
    t.groups[0].marked = false;
    t.openGrouped(result);
    EXPECT_EQ(rowsOf(result).size(), 5);
    EXPECT_EQ(rowsOf(result).last(), QStringLiteral("Skupaj|Skupaj|68.719.476.921,50|20,00|5"));

    // Unmarking Kupon instead: VP's level groups by VP and the unmarked Kupon after it.
    t.groups[0].marked = true;
    t.groups[1].marked = false;
    t.openGrouped(result);
    EXPECT_EQ(rowsOf(result), (QStringList{
                                  "KRKG|1|75,50|25,00|2",
                                  "KRKG|2|100,00|10,00|1",
                                  "PETG|-32000|68.719.476.736,00|0,00|1",
                                  "PETG|1|10,00|40,00|1",
                                  "Skupaj|Skupaj|68.719.476.921,50|20,00|5",
                              }));
}

TEST(PrintTable, CopyHappensOnceAndAnEmptySourceGivesOnlyTheTotal)
{
    LocalDatabase db;
    const QString name =
        db.createTable(QStringLiteral("E"), {{"VP", FieldType::String}, {"BRUTO", FieldType::Float}});
    DataSet ds;
    ds.SetSession(&db.session());
    ds.SQL = QStringList{QStringLiteral("SELECT * FROM ") + name};
    ds.Open();
    PrintTable t(ds, rek2::visibleColumns(ds));
    t.copyRows();
    t.copyRows();
    DataSet result;
    t.openGrouped(result);
    ASSERT_EQ(result.RecordCount(), 1);
    EXPECT_EQ(result.DisplayText(0, 0), t.totalLabel);
}
