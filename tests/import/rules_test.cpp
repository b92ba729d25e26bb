// The import's pure rules: column letters, names, cell conversions, date
// formats and the package correction.
#include "import/cell_values.h"
#include "import/column_letters.h"
#include "import/date_formats.h"
#include "import/import_mapping.h"
#include "import/names.h"
#include "import/package_fix.h"

#include <gtest/gtest.h>

using namespace rek2::importxls;

TEST(ImportRules, ColumnLettersToNumbers)
{
    const struct
    {
        const char* letters;
        int number;
    } cases[] = {{"A", 1},    {"Z", 26}, {"AA", 27}, {"AB", 28}, {"IV", 256},
                 {"ZZ", 702}, {"a", 33}, {"", 0},    {"ABC", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(columnNumber(QString::fromLatin1(c.letters)), c.number) << c.letters;
    EXPECT_EQ(columnLetters(28), "AB");
    EXPECT_EQ(columnLetters(702), "ZZ");
}

TEST(ImportRules, MappingLettersAreCheckedWhenSaved)
{
    QHash<QString, QString> values;
    for (const auto& c : mappingColumns())
        values.insert(c.column, QString());
    values["START_PODATKOV"] = " 3 ";
    values["KOLONA_A003I"] = "ab";
    EXPECT_EQ(checkMappingValues(values), QString());
    EXPECT_EQ(values["KOLONA_A003I"], "AB");
    EXPECT_EQ(values["START_PODATKOV"], "3");

    const struct
    {
        const char* column;
        const char* value;
        const char* caption;
    } wrong[] = {{"KOLONA_A003I", "ABC", "Ime"},
                 {"KOLONA_012", "1", "Datum izplačila"},
                 {"SFVP", "Č", "VP"},
                 {"START_PODATKOV", "0", "Start podatkov"},
                 {"START_PODATKOV", "x", "Start podatkov"}};
    for (const auto& w : wrong) {
        auto v = values;
        v[w.column] = QString::fromUtf8(w.value);
        const QString message = checkMappingValues(v);
        EXPECT_TRUE(message.startsWith(QStringLiteral("\"") + QString::fromUtf8(w.caption) + "\""))
            << qPrintable(message);
        EXPECT_TRUE(message.contains(QString::fromUtf8(w.value))) << qPrintable(message);
    }
}

TEST(ImportRules, RomanNumeralAtTheEnd)
{
    const struct
    {
        const char* in;
        const char* out;
    } cases[] = {{"Novak Janez III", "Novak Janez "},
                 {"Novak Janez III.", "Novak Janez "},
                 {"Novak Janez IIIa", "Novak Janez IIIa"},
                 {"Novak Janez iii", "Novak Janez iii"},
                 {"Novak X", "Novak "},
                 {"III", "III"},
                 {"Novak II Janez", "Novak II Janez"}};
    for (const auto& c : cases)
        EXPECT_EQ(BrezRimskogNaKoncu(QString::fromLatin1(c.in)), QString::fromLatin1(c.out)) << c.in;
}

TEST(ImportRules, NameSplitSurnameFirst)
{
    const struct
    {
        const char* in;
        const char* ime;
        const char* priimek;
        const char* naziv;
    } cases[] = {{"A B", "B", "A", "B A"},
                 {"A B C", "C", "A B", "C A B"},
                 {"A B C D", "C D", "A B", "C D A B"},
                 {" A ", "", "", "A"},
                 {"Novak Janez ", "Janez", "Novak", "Janez Novak"}};
    for (const auto& c : cases) {
        const SplitName s = ObrniImePriimek(QString::fromLatin1(c.in));
        EXPECT_EQ(s.ime, c.ime) << c.in;
        EXPECT_EQ(s.priimek, c.priimek) << c.in;
        EXPECT_EQ(s.naziv, c.naziv) << c.in;
    }
}

TEST(ImportRules, AmountsInBothFormsAndNothingAmbiguous)
{
    const struct
    {
        const char* text;
        bool ok;
        double value;
    } cases[] = {{"1234,56", true, 1234.56},
                 {"1234.56", true, 1234.56},
                 {"1.234,56", true, 1234.56},
                 {"1,234.56", true, 1234.56},
                 {"-5", true, -5},
                 {"0.125", true, 0.125},
                 {"12.345.678", true, 12345678},
                 {"1234.567", true, 1234.567},
                 {"1.234", false, 0},
                 {"1,234", false, 0},
                 {"12,500", false, 0},
                 {"1.234.56", false, 0},
                 {"1,234,56", false, 0},
                 {"12 EUR", false, 0},
                 {"abc", false, 0},
                 {"1.234,56.7", false, 0}};
    for (const auto& c : cases) {
        std::optional<double> v;
        EXPECT_EQ(toAmount(QString::fromLatin1(c.text), v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_DOUBLE_EQ(v.value_or(-1), c.value) << c.text;
        }
    }
    std::optional<double> v = 1.0;
    EXPECT_TRUE(toAmount(QVariant(), v));
    EXPECT_FALSE(v.has_value());
    EXPECT_TRUE(toAmount(QVariant(1234.56), v));
    EXPECT_DOUBLE_EQ(*v, 1234.56);
    EXPECT_FALSE(toAmount(QVariant(QDate(2024, 5, 3)), v));
}

TEST(ImportRules, WholeNumbersAndDates)
{
    qint64 n = -1;
    EXPECT_TRUE(toWholeNumber(QVariant(), n));
    EXPECT_EQ(n, 0);
    EXPECT_TRUE(toWholeNumber(QVariant(1901.0), n));
    EXPECT_EQ(n, 1901);
    EXPECT_TRUE(toWholeNumber(QString(" 01901 "), n));
    EXPECT_EQ(n, 1901);
    EXPECT_FALSE(toWholeNumber(QVariant(1901.5), n));
    EXPECT_FALSE(toWholeNumber(QString("19a"), n));
    EXPECT_FALSE(toWholeNumber(QVariant(QDate(2024, 1, 1)), n));

    std::optional<QDate> d;
    EXPECT_TRUE(toDate(QString("3.5.2024"), d));
    EXPECT_EQ(*d, QDate(2024, 5, 3));
    EXPECT_TRUE(toDate(QString("2024-05-03"), d));
    EXPECT_EQ(*d, QDate(2024, 5, 3));
    EXPECT_TRUE(toDate(QVariant(), d));
    EXPECT_FALSE(d.has_value());
    EXPECT_FALSE(toDate(QString("jutri"), d));
    EXPECT_FALSE(toDate(QVariant(45415.0), d));

    EXPECT_EQ(cellText(QVariant(12345678.0)), "12345678");
    EXPECT_EQ(cellText(QVariant(1.5)), "1.5");
    EXPECT_EQ(cellText(QVariant(QDate(2024, 5, 3))), "03.05.2024");
}

TEST(ImportRules, DateFormatsOfXlsxCells)
{
    const struct
    {
        const char* code;
        bool date;
    } cases[] = {{"dd.mm.yyyy", true}, {"yyyy-mm-dd h:mm:ss", true},
                 {"d/m/yy", true},     {"[$-424]d. mmmm yyyy", true},
                 {"mmm-yy", true},     {"General", false},
                 {"0.00", false},      {"#,##0.00 \"dni\"", false},
                 {"h:mm", false},      {"mm:ss", false},
                 {"[Red]0.00", false}, {"@", false}};
    for (const auto& c : cases)
        EXPECT_EQ(isDateFormatCode(c.code), c.date) << c.code;
    EXPECT_TRUE(isBuiltinDateFormat(14));
    EXPECT_FALSE(isBuiltinDateFormat(4));
    EXPECT_EQ(serialToDate(QDate(1899, 12, 30), 45415.75), QDate(2024, 5, 3));
    EXPECT_EQ(serialToDate(QDate(1904, 1, 1), 43953), QDate(2024, 5, 3));
}

TEST(ImportRules, AbsolutePackageTargetsBecomeRelative)
{
    const QByteArray rels =
        "<Relationships><Relationship Id=\"rId1\" Type=\"t\" Target=\"/xl/worksheets/sheet1.xml\"/>"
        "<Relationship Id=\"rId2\" Type=\"t\" Target='styles.xml'/>"
        "<Relationship Id=\"rId3\" Type=\"t\" Target=\"/x\" TargetMode=\"External\"/></Relationships>";
    const QByteArray fixed = relativeTargets("xl/_rels/workbook.xml.rels", rels);
    EXPECT_TRUE(fixed.contains("Target=\"worksheets/sheet1.xml\"")) << fixed.constData();
    EXPECT_TRUE(fixed.contains("Target='styles.xml'"));
    EXPECT_TRUE(fixed.contains("Target=\"/x\" TargetMode=\"External\""));
    EXPECT_TRUE(relativeTargets("_rels/.rels", "<Relationship Target=\"/xl/workbook.xml\"/>")
                    .contains("Target=\"xl/workbook.xml\""));
    EXPECT_TRUE(relativeTargets("xl/worksheets/_rels/sheet1.xml.rels",
                                "<Relationship Target=\"/xl/drawings/d.xml\"/>")
                    .contains("Target=\"../drawings/d.xml\""));
}
