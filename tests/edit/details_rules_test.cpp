#include "edit/details_rules.h"
#include "qstring_print.h"

#include <gtest/gtest.h>

using namespace rek2;

namespace {

TEST(DetailsRules, LookupTextGivesTableAndFields)
{
    const TLookup osb = parseLookup(QStringLiteral("OSB(NAZIV,NASLOV,POOB_DVS)"));
    EXPECT_EQ(osb.table, "OSB");
    EXPECT_EQ(osb.fields, QStringList({"NAZIV", "NASLOV", "POOB_DVS"}));

    // Empty pieces dropped, blanks kept as they are.
    EXPECT_EQ(parseLookup(QStringLiteral("OSB(NAZIV,, NASLOV)")).fields, QStringList({"NAZIV", " NASLOV"}));
    EXPECT_TRUE(parseLookup(QString()).table.isEmpty());
    EXPECT_TRUE(parseLookup(QString()).fields.isEmpty());
}

// Which editors may be changed for the editable-fields texts the five callers pass.
TEST(DetailsRules, EditableFieldsOfEachUse)
{
    const QString zbirni = "NAZIV,NASLOV,POOB_DVS,DAV_ZNZ_STP,SKUPAJ";
    const QString nabor =
        "DVS,IDENT_ST,IME,PRIIMEK,REZ,DRZ,UGO_MED_POG,SIF_SFDOH,BRUTO,DAV_ODT_OBR,DAV_ODT_PLC,"
        "DAV_ODT_ODB_TUJ,SIF_VRSTE_DOH,DATUM_IZP_DIV,DATUM_PLC_DVK";
    struct Row
    {
        QString editable;
        QString field;
        bool expected;
    };
    const Row rows[] = {
        {zbirni, "NAZIV", true},
        {zbirni, "SKUPAJ", true},
        {zbirni, "DOH", false},
        {zbirni, "ID_REK2_ZBIR", false},
        {nabor, "BRUTO", true},
        {nabor, "NAZIV", false},
        {nabor, "ID_REK2_ANAL", false},
        {nabor, "DURS_ID_DOK", false},
        {"", "BRUTO", true}, // new row: all but the identifiers and the document number
        {"", "STATUS", true},
        {"", "ID_REK2_ANAL", false},
        {"", "ID_REK2_ZBIR", false},
        {"", "DURS_ID_DOK", false},
        {"DURS_ID_DOK", "DURS_ID_DOK", true}, // history summary without a number
        {"DURS_ID_DOK", "NAZIV", false},
        {"nič", "DURS_ID_DOK", false},
        {"nič", "NAZIV", false},
        {"nic", "nic", true}, // only the exact text locks everything
    };
    for (const auto& r : rows)
        EXPECT_EQ(mayEditField(r.field, r.editable), r.expected)
            << r.editable.toStdString() << " / " << r.field.toStdString();
}

TEST(DetailsRules, TwentyFourFieldsFillTwoColumns)
{
    // Position 19 is the last of the first column, 20 the first of the second.
    const DetailsGeometry last = detailsGeometry(19);
    EXPECT_EQ(last.editor.topLeft(), QPoint(180, 22 * 19 + 10));
    EXPECT_EQ(last.caption.topLeft(), QPoint(5, 22 * 19 + 13));
    const DetailsGeometry second = detailsGeometry(20);
    EXPECT_EQ(second.editor.topLeft(), QPoint(480, 10));
    EXPECT_EQ(second.lookupButton, QRect(580, 11, 30, 20));
    EXPECT_EQ(detailsGeometry(23).editor.top(), 22 * 3 + 10);
    // Scaled for wider fonts, the order and the split stay.
    EXPECT_EQ(detailsGeometry(20, 1.5).editor.topLeft(), QPoint(720, 15));

    EXPECT_TRUE(isHiddenField("Stopnja"));
    EXPECT_FALSE(isHiddenField("STOPNJA"));
    EXPECT_EQ(captionOf("Dohodek nerezidentov in še nekaj"), "Dohodek nerezidentov in š");
}

TEST(DetailsRules, StornoAndPopravekVisibility)
{
    const QDateTime now(QDate(2026, 12, 10), QTime(9, 30));
    EXPECT_TRUE(stornoVisible(true, true, "O"));
    EXPECT_FALSE(stornoVisible(true, true, "S"));
    EXPECT_FALSE(stornoVisible(true, false, ""));
    EXPECT_FALSE(stornoVisible(false, true, "O"));

    const QDate inTime = QDate(2025, 12, 11); // + 365 days is tomorrow
    const QDate tooOld = QDate(2025, 12, 10); // + 365 days is this morning's midnight, already past
    EXPECT_TRUE(popravekVisible(true, true, inTime, now, "nič", true));
    EXPECT_FALSE(popravekVisible(true, true, tooOld, now, "nič", true));
    EXPECT_TRUE(popravekVisible(true, true, QDate(), now, "nič", true));
    EXPECT_FALSE(popravekVisible(true, false, inTime, now, "nič", true));
    EXPECT_FALSE(popravekVisible(false, true, inTime, now, "nič", true));
    // History summary without a number: Popravek whatever the dates.
    EXPECT_TRUE(popravekVisible(false, true, tooOld, now, "DURS_ID_DOK", false));
}

TEST(DetailsRules, DocumentNumberPrefix)
{
    EXPECT_EQ(edpPrefix("12345678"), "EDP-12345678-");
    EXPECT_TRUE(hasEdpPrefix("EDP-12345678-1", "12345678"));
    EXPECT_TRUE(hasEdpPrefix("EDP-12345678-", "12345678"));
    EXPECT_FALSE(hasEdpPrefix("EDP-87654321-1", "12345678"));
    EXPECT_FALSE(hasEdpPrefix("edp-12345678-1", "12345678"));
    EXPECT_EQ(edpFormatMessage("X"), QString::fromUtf8("EDP številka X ni pravilnog formata. EDP-DVS-n "));
    EXPECT_EQ(edpUsedMessage("X"), QString::fromUtf8("EDP številka X že obstaja!"));
}

} // namespace
