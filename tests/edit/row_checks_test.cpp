#include "edit/row_checks.h"
#include "qstring_print.h"

#include <functional>
#include <gtest/gtest.h>

using rek2::AnalyticRow;

namespace {

// A resident's row that passes every check; each case changes what it tests.
AnalyticRow goodRow()
{
    AnalyticRow r;
    r.ID_REK2_ANAL = 7;
    r.DVS = QStringLiteral("12345678");
    r.REZ = QStringLiteral("R");
    r.SIF_VRSTE_DOH = QStringLiteral("1901");
    r.SIF_SFDOH = QStringLiteral("5400");
    r.UGO_MED_POG = QStringLiteral("0");
    r.BRUTO = 100;
    r.DAV_ODT_OBR = 25;
    r.DAV_ODT_PLC = 25;
    return r;
}

struct Case
{
    const char* name;
    std::function<void(AnalyticRow&)> change;
    const char* expected;
};

const Case kEditorCases[] = {
    {"good row", [](AnalyticRow&) {}, ""},
    {"1902 with 5600", [](AnalyticRow& r) { r.SIF_VRSTE_DOH = "1902", r.SIF_SFDOH = "5600"; }, ""},
    {"1921 with 5700", [](AnalyticRow& r) { r.SIF_VRSTE_DOH = "1921", r.SIF_SFDOH = "5700"; }, ""},
    {"1902 with 5400", [](AnalyticRow& r) { r.SIF_VRSTE_DOH = "1902"; },
     "\r\nZa ID:7 napačna kombinacija vrste dohodka 1902 in oznake vrste dohodka 5400 !"},
    {"1800 with 5400", [](AnalyticRow& r) { r.SIF_VRSTE_DOH = "1800"; },
     "\r\nZa ID:7 neobstoječa vrsta dohodka 1800!"
     "\r\nZa ID:7 napačna kombinacija vrste dohodka 1800 in oznake vrste dohodka 5400 !"},
    {"1800 with 5800: no pairing finding",
     [](AnalyticRow& r) { r.SIF_VRSTE_DOH = "1800", r.SIF_SFDOH = "5800"; },
     "\r\nZa ID:7 neobstoječa vrsta dohodka 1800!"
     "\r\nZa ID:7 neobstoječa oznaka vrste dohodka 5800 !"},
    {"1901 with 5450", [](AnalyticRow& r) { r.SIF_SFDOH = "5450"; },
     "\r\nZa ID:7 neobstoječa oznaka vrste dohodka 5450 !"
     "\r\nZa ID:7 napačna kombinacija vrste dohodka 1901 in oznake vrste dohodka 5450 !"},
    {"1900 and 1906 are outside the range",
     [](AnalyticRow& r) { r.SIF_VRSTE_DOH = "1906", r.SIF_SFDOH = "5900"; },
     "\r\nZa ID:7 neobstoječa vrsta dohodka 1906!"
     "\r\nZa ID:7 neobstoječa oznaka vrste dohodka 5900 !"},
    {"leading zero reads as the number", [](AnalyticRow& r) { r.SIF_VRSTE_DOH = "01800"; },
     "\r\nZa ID:7 neobstoječa vrsta dohodka 1800!"
     "\r\nZa ID:7 napačna kombinacija vrste dohodka 1800 in oznake vrste dohodka 5400 !"},
    {"code compared exactly", [](AnalyticRow& r) { r.SIF_SFDOH = "5400 "; },
     "\r\nZa ID:7 neobstoječa oznaka vrste dohodka 5400  !"
     "\r\nZa ID:7 napačna kombinacija vrste dohodka 1901 in oznake vrste dohodka 5400  !"},
    {"no tax number nor identification", [](AnalyticRow& r) { r.DVS.clear(); },
     "\r\nZa ID:7 manjka davčna ali identifikacijska številka!"},
    {"identification number alone is enough", [](AnalyticRow& r) { r.DVS.clear(), r.IDENT_ST = "X1"; }, ""},
    {"resident without a country", [](AnalyticRow& r) { r.DRZ.clear(); }, ""},
    {"non-resident without a country", [](AnalyticRow& r) { r.REZ = "N"; },
     "\r\nZa ID:7 manjka država za nerezidenta!"},
    {"lower-case n", [](AnalyticRow& r) { r.REZ = "n"; },
     "\r\nZa ID:7 napačna vrednost podatka Rezidentstvo n pravilno je R ali N!"},
    {"empty benefit", [](AnalyticRow& r) { r.UGO_MED_POG.clear(); },
     "\r\nZa ID:7 napačna vrednost podatka uveljavanje ugodnosti  pravilna je 0 ali 1!"},
    {"benefit 1", [](AnalyticRow& r) { r.UGO_MED_POG = "1"; }, ""},
    {"paid equal to computed and gross equal to the taxes",
     [](AnalyticRow& r) { r.DAV_ODT_OBR = 75, r.DAV_ODT_PLC = 75, r.DAV_ODT_ODB_TUJ = 25; }, ""},
    {"paid above computed", [](AnalyticRow& r) { r.DAV_ODT_PLC = 25.01; },
     "\r\nZa ID:7 plačani davčni odtegljaj je večji od obračunanega!"},
    {"gross below the taxes", [](AnalyticRow& r) { r.DAV_ODT_ODB_TUJ = 75.01; },
     "\r\nZa ID:7 premajhna bruto dividenda glede na davčni odtegljaj!"},
    {"negative gross without tax", [](AnalyticRow& r) { r.BRUTO = -5, r.DAV_ODT_OBR = 0, r.DAV_ODT_PLC = 0; },
     "\r\nZa ID:7 premajhna bruto dividenda glede na davčni odtegljaj!"
     "\r\nZa ID:7 bruto dividenda negativna!"},
    {"all amounts null", [](AnalyticRow& r) { r.BRUTO = r.DAV_ODT_OBR = r.DAV_ODT_PLC = 0; }, ""},
    {"negative taxes", [](AnalyticRow& r) { r.DAV_ODT_OBR = -1, r.DAV_ODT_PLC = -2, r.DAV_ODT_ODB_TUJ = -3; },
     "\r\nZa ID:7 davčni odtegljaj obračun negativen!"
     "\r\nZa ID:7 davčni odtegljaj plačan negativen!"
     "\r\nZa ID:7 odbitek davka plačanega v tujini je negativen!"},
    {"everything wrong, in the fixed order",
     [](AnalyticRow& r) {
         r = AnalyticRow{};
         r.ID_REK2_ANAL = 12;
         r.REZ = "N", r.SIF_VRSTE_DOH = "1920", r.SIF_SFDOH = "5400", r.UGO_MED_POG = "2";
         r.BRUTO = -1, r.DAV_ODT_PLC = 3;
     },
     "\r\nZa ID:12 manjka davčna ali identifikacijska številka!"
     "\r\nZa ID:12 manjka država za nerezidenta!"
     "\r\nZa ID:12 napačna kombinacija vrste dohodka 1920 in oznake vrste dohodka 5400 !"
     "\r\nZa ID:12 napačna vrednost podatka uveljavanje ugodnosti 2 pravilna je 0 ali 1!"
     "\r\nZa ID:12 plačani davčni odtegljaj je večji od obračunanega!"
     "\r\nZa ID:12 premajhna bruto dividenda glede na davčni odtegljaj!"
     "\r\nZa ID:12 bruto dividenda negativna!"},
    {"empty income type stops after checks 1 and 2",
     [](AnalyticRow& r) { r.DVS.clear(), r.REZ = "N", r.SIF_VRSTE_DOH.clear(), r.BRUTO = -1; },
     "\r\nZa ID:7 manjka davčna ali identifikacijska številka!"
     "\r\nZa ID:7 manjka država za nerezidenta!"
     "\r\nNiso nafilani vsi podatki!"},
    {"income type that is no whole number", [](AnalyticRow& r) { r.SIF_VRSTE_DOH = "19O1", r.REZ = "x"; },
     "\r\nNiso nafilani vsi podatki!"},
    {"income type with a trailing blank", [](AnalyticRow& r) { r.SIF_VRSTE_DOH = "1901 "; },
     "\r\nNiso nafilani vsi podatki!"},
};

void PrintTo(const Case& c, std::ostream* os)
{
    *os << c.name;
}

class EditorChecks : public ::testing::TestWithParam<Case>
{
};

TEST_P(EditorChecks, FindingsText)
{
    AnalyticRow row = goodRow();
    GetParam().change(row);
    EXPECT_EQ(rek2::editorFindings(row), QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Rows, EditorChecks, ::testing::ValuesIn(kEditorCases),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

struct CellCase
{
    QVariant value;
    QString text;
    QString column; // UGO_MED_POG as the import left it
    const char* expected;
};

TEST(ImportChecks, BenefitCellBetweenPairingAndBenefitChecks)
{
    const CellCase cases[] = {
        {QVariant(1.0), "1", "1", ""},
        {QVariant(0), "0", "0", ""},
        {QVariant(QStringLiteral("1")), "1", "1", ""},
        {QVariant(QStringLiteral("2")), "2", "2",
         "\r\nZa ID:7 napačna vrednost podatka uveljavanje ugodnosti 2 pravilna je 0 ali 1!"
         "\r\nZa ID:7 napačna vrednost podatka uveljavanje ugodnosti 2 pravilna je 0 ali 1!"},
        {QVariant(QStringLiteral("10")), "10", "",
         "\r\nZa ID:7 napačna vrednost podatka uveljavanje ugodnosti 10 pravilna je 0 ali 1!"
         "\r\nZa ID:7 napačna vrednost podatka uveljavanje ugodnosti  pravilna je 0 ali 1!"},
        {QVariant(0.5), "0,5", "",
         "\r\nZa ID:7 napačna vrednost podatka uveljavanje ugodnosti 0,5 pravilna je 0 ali 1!"
         "\r\nZa ID:7 napačna vrednost podatka uveljavanje ugodnosti  pravilna je 0 ali 1!"},
        {QVariant(), "", "",
         "\r\nZa ID:7 napačna vrednost podatka uveljavanje ugodnosti  pravilna je 0 ali 1!"
         "\r\nZa ID:7 napačna vrednost podatka uveljavanje ugodnosti  pravilna je 0 ali 1!"},
    };
    for (const auto& c : cases) {
        AnalyticRow row = goodRow();
        row.SIF_SFDOH = "5600"; // a pairing finding shows where the cell check sits
        row.UGO_MED_POG = c.column;
        const rek2::BenefitCell cell{c.value, c.text};
        const auto result = rek2::checkAnalyticRow(row, &cell);
        EXPECT_FALSE(result.stopped());
        EXPECT_EQ(result.text,
                  "\r\nZa ID:7 napačna kombinacija vrste dohodka 1901 in oznake vrste dohodka 5600 !" +
                      QString::fromUtf8(c.expected))
            << c.text.toStdString();
    }
}

TEST(ImportChecks, UnreadableIncomeTypeStopsWithAnErrorInsteadOfAFinding)
{
    AnalyticRow row = goodRow();
    row.DVS.clear();
    row.SIF_VRSTE_DOH = "abc";
    const rek2::BenefitCell cell{QVariant(QStringLiteral("1")), "1"};
    const auto result = rek2::checkAnalyticRow(row, &cell);
    EXPECT_TRUE(result.stopped());
    EXPECT_EQ(result.error, QString::fromUtf8("Vrsta dohodka \"abc\" ni celo število!"));
    EXPECT_EQ(result.text, QString::fromUtf8("\r\nZa ID:7 manjka davčna ali identifikacijska številka!"));
}

} // namespace
