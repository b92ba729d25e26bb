#include "db/decimal_math.h"
#include "xmlreturn/return_names.h"
#include "xmlreturn/value_forms.h"

#include <gtest/gtest.h>

#include <vector>

using namespace rek2;
using namespace rek2::xml;

TEST(ValueForms, AmountsRoundTiesAwayFromZeroOnTheDecimalValue)
{
    const struct
    {
        QVariant in;
        const char* out;
    } cases[] = {
        {1234.5, "1234.50"},
        {100, "100.00"},
        {100.0, "100.00"},
        {QVariant(), "0.00"},
        {-12.3, "-12.30"},
        {0.125, "0.13"},
        {-0.125, "-0.13"},
        {1.005, "1.01"}, // binary 1.00499999..., decimal 1.005
        {2.675, "2.68"},
        {0.004, "0.00"},
        {-0.004, "0.00"}, // never -0.00
        {-0.005, "-0.01"},
        {99.995, "100.00"},
        {0.1 + 0.2, "0.30"},
        // Computed amounts: the decimal of 15 significant digits they stand
        // for, as the database's ROUND reads them (3 * 0.075 is
        // 0.22499999999999998 in binary).
        {3 * 0.075, "0.23"},
        {0.285 * 100 / 100, "0.29"},
        {8.345 * 3, "25.04"},
        {1e12 + 0.25, "1000000000000.25"},
        {QStringLiteral("1234.565"), "1234.57"}, // numeric columns read as text
        {QStringLiteral("-.5"), "-0.50"},
        {QStringLiteral(""), "0.00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatAmount(c.in), QLatin1String(c.out)) << c.in.toString().toStdString();
}

// The quick ways of writing an amount (whole cents; 15 digits without
// texts) against the general one: the decimal text of the double's 15
// significant digits, rounded as a text.
TEST(ValueForms, AmountShortcutsAgreeWithTheDecimalText)
{
    std::vector<double> values = {0.005,
                                  0.015,
                                  0.045,
                                  1.445,
                                  2.675,
                                  1.005,
                                  1e-9,
                                  4.9999999e-3,
                                  0.994999999,
                                  999999999999.995,
                                  999999999999.99,
                                  9999999999999.99,
                                  1e12,
                                  1e12 + 0.005,
                                  123456789.125,
                                  0.1 + 0.7,
                                  3 * 0.075,
                                  8.345 * 3};
    for (int i = 0; i < 20000; ++i) {
        values.push_back(i / 100.0);
        values.push_back(i * 0.37 * 0.25);
        values.push_back((i * 7919 % 100003) / 1000.0 + 0.005);
        values.push_back(i * 1234567.891);
        values.push_back(i * 1e-4 + 1e-3);
        values.push_back(i * 4.99999e8 / 7);
    }
    for (double v : values)
        for (double x : {v, -v}) {
            const QString viaText = formatAmount(QVariant(QString::fromStdString(decimalText(x))));
            ASSERT_EQ(formatAmount(x), viaText) << decimalText(x);
        }
}

TEST(ValueForms, IntegersDatesAndTaxNumbers)
{
    EXPECT_EQ(formatInteger(QVariant()), "0");
    EXPECT_EQ(formatInteger(QVariant(2.0)), "2");
    EXPECT_EQ(formatInteger(QVariant(-7)), "-7");
    EXPECT_EQ(formatDate(QDate(2008, 7, 5)), "2008-07-05");

    EXPECT_EQ(readWholeNumber(QStringLiteral("12345678")), 12345678);
    EXPECT_EQ(readWholeNumber(QStringLiteral(" 0 ")), 0);
    EXPECT_EQ(readWholeNumber(QStringLiteral("-5")), -5);
    for (const char* bad : {"", "  ", "12A45678", "1.5", "-", "$1F", "99999999999", "1 2"})
        EXPECT_FALSE(readWholeNumber(QString::fromLatin1(bad)).has_value()) << bad;

    // Tax numbers and texts as the database hands them out (UTF-8) read as
    // their QString forms do.
    for (const char* text :
         {"12345678", " 0012 ", "+7", "-0", "-2147483648", "2147483648", "\t42\n", "4 2", "",
          "\xc2\xa0"
          "5",
          "\xc2\xa0",
          "\xef\xbb\xbf"
          "5",
          "12\xff", "00000000000000000009"}) {
        EXPECT_EQ(readWholeNumber(QByteArrayView(text)), readWholeNumber(QString::fromUtf8(text))) << text;
    }
    for (const char* text : {"Kovač & Sin", "a\tb\r\nc", "a\x01", "\x1f", "\xef\xbf\xbe", "\xef\xbf\xbf",
                             "\xef\xbb\xbf"
                             "x",
                             "\xed\xa0\x80", "\xff", "\xf0\x9f\x98\x80", "\xc4"}) {
        EXPECT_EQ(xmlCanCarry(QByteArrayView(text)), xmlCanCarry(QString::fromUtf8(text))) << text;
    }
}

TEST(ReturnNames, PopraviNazivAndFileNames)
{
    EXPECT_EQ(PopraviNaziv(QStringLiteral("A/B C")), "A-BC");
    EXPECT_EQ(PopraviNaziv(QStringLiteral(R"(a\b:c*d?e"f<g>h|i j)")), "a-b-c-d-e-f-g-h-ij");
    EXPECT_EQ(PopraviNaziv(QStringLiteral("Šč ž")), "Ščž");

    ReturnNameParts p{
        QStringLiteral("ABCD"), 12, QStringLiteral("O"), 345, QStringLiteral("1901"), QDate(2008, 7, 15),
        QDate(2008, 7, 15)};
    EXPECT_EQ(returnFileName(p), "REK2_ABCD_12_O_345_1901_080715.xml");
    p.datumPlcDvk = QDate();
    EXPECT_EQ(returnFileName(p), "REK2_ABCD_12_O_345_1901_080715.xml");
    p.datumPlcDvk = QDate(2008, 8, 1);
    EXPECT_EQ(returnFileName(p), "REK2_ABCD_12_O_345_1901_080715_080801.xml");
    p.sfvp = QStringLiteral("A/B C");
    p.stkpn = QVariant();
    p.datumPlcDvk = QDate();
    EXPECT_EQ(returnFileName(p), "REK2_A-BC_0_O_345_1901_080715.xml");
    // A code typed in the editor cannot lead the file out of its folder.
    p.sifVrsteDoh = QStringLiteral("../19");
    EXPECT_EQ(returnFileName(p), "REK2_A-BC_0_O_345_..-19_080715.xml");
}
