#include "returns/working_fields.h"

#include "db/dataset.h"

#include <QHash>
#include <initializer_list>

namespace rek2 {
namespace {

struct Column
{
    const char* name;
    FieldType type;
    const char* caption;
    int size = 0;
    const char* format = "";
    bool visible = true;
    bool calculated = false;
};

constexpr const char* kAmount = "#,##0.00";

// Display widths in characters: what the usual values need, not the
// columns' declared sizes (an EDP number is declared 40, a name 100), so the
// grids, their prints and exports fit the window. Columns not listed get
// the width of their type.
int displayWidth(const char* name, FieldType type)
{
    static const QHash<QString, int> widths{
        {"ID_REK2_ANAL", 8},
        {"ID_REK2_ZBIR", 7},
        {"DURS_ID_DOK", 22},
        {"DVS", 9},
        {"IDENT_ST", 14},
        {"IME", 14},
        {"PRIIMEK", 18},
        {"NAZIV", 28},
        {"REZ", 3},
        {"DRZ", 5},
        {"UGO_MED_POG", 3},
        {"SIF_SFDOH", 6},
        {"SIF_VRSTE_DOH", 6},
        {"STATUS", 3},
        {"SFKPN", 6},
        {"STKPN", 6},
        {"SFVP", 8},
        {"ZNIZANASTOPNJA", 3},
        {"CORRECTIONFORDOCUMENT", 22},
        {"CORRECTIONFORANALITICALDATA", 14},
        {"CORRECTIONTYPE", 4},
        {"IZPLAC_NAZIV", 28},
        {"IZPLAC_NASLOV", 28},
        {"IZPLAC_DVS", 9},
        {"NASLOV", 28},
        {"POOB_DVS", 9},
        {"MESEC_LETO", 7},
        {"ZAPST_DEL", 4},
        {"STZAP_REZ", 6},
        {"STZAP_NEREZ", 6},
        {"STOPNJA", 5},
        {"VPL_PODRACUN", 20},
    };
    const int w = widths.value(QString::fromUtf8(name), 0);
    if (w > 0)
        return w;
    return type == FieldType::Float ? 13 : 0;
}

void addField(DataSet& ds, const Column& c)
{
    FieldDef def;
    def.name = QString::fromUtf8(c.name);
    def.type = c.type;
    def.size = c.size;
    def.displayLabel = QString::fromUtf8(c.caption);
    def.displayFormat = QString::fromUtf8(c.format);
    def.visible = c.visible;
    def.calculated = c.calculated;
    def.displayWidth = displayWidth(c.name, c.type);
    ds.AddField(def);
}

void define(DataSet& ds, std::initializer_list<Column> columns)
{
    if (ds.FieldCount() > 0) {
        // A view with fields of its own only gets the computed columns it lacks.
        for (const Column& c : columns)
            if (c.calculated && !ds.FindField(QString::fromUtf8(c.name)))
                addField(ds, c);
        return;
    }
    for (const Column& c : columns)
        addField(ds, c);
}

} // namespace

void defineAnalyticFields(DataSet& ds)
{
    using T = FieldType;
    define(ds, {
                   {"ID_REK2_ANAL", T::Integer, "ID analitike"},
                   {"ID_REK2_ZBIR", T::Integer, "ID zbirne"},
                   {"DURS_ID_DOK", T::String, "EDP številka", 40},
                   {"DVS", T::String, "Davčna številka", 8},
                   {"IDENT_ST", T::String, "Ident. številka", 50},
                   {"IME", T::String, "Ime", 100},
                   {"PRIIMEK", T::String, "Priimek", 100},
                   {"NAZIV", T::String, "Ime in priimek", 100},
                   {"REZ", T::String, "Rezidentstvo", 1},
                   {"DRZ", T::String, "Država", 20},
                   {"UGO_MED_POG", T::String, "Uveljavljanje ugodnosti", 1},
                   {"SIF_SFDOH", T::String, "Oznaka vrste dohodka", 10},
                   {"BRUTO", T::Float, "Bruto znesek", 0, kAmount},
                   {"DAV_ODT_OBR", T::Float, "Obračunani davčni odtegljaj", 0, kAmount},
                   {"DAV_ODT_PLC", T::Float, "Plačani davčni odtegljaj", 0, kAmount},
                   {"DAV_ODT_ODB_TUJ", T::Float, "Odbitek tujega davka", 0, kAmount},
                   {"SIF_VRSTE_DOH", T::String, "Vrsta dohodka", 10},
                   {"DATUM_IZP_DIV", T::Date, "Datum izplačila"},
                   {"DATUM_PLC_DVK", T::Date, "Datum plačila davkov"},
                   {"STATUS", T::String, "Status", 1},
                   {"SFKPN", T::Integer, "Kupon"},
                   {"SFVP", T::String, "VP", 20},
                   {"Stopnja", T::Float, "Stopnja", 0, "", false},
                   {"ZNIZANASTOPNJA", T::String, "Znižana stopnja", 1},
               });
}

void defineSummaryFields(DataSet& ds)
{
    using T = FieldType;
    define(ds, {
                   {"SFVP", T::String, "VP", 20},
                   {"STKPN", T::Integer, "Kupon", 0, "", true, true},
                   {"SFKPN", T::Integer, "Šifra kupona", 0, "", false},
                   {"ID_REK2_ZBIR", T::Integer, "ID zbirne"},
                   {"DURS_ID_DOK", T::String, "EDP številka", 40},
                   {"CORRECTIONFORDOCUMENT", T::String, "Ref. na zbirni", 40},
                   {"CORRECTIONFORANALITICALDATA", T::String, "Ref. na analitiko", 40},
                   {"CORRECTIONTYPE", T::String, "Tip dokumenta", 40},
                   {"IZPLAC_NAZIV", T::String, "Izplačevalec", 100, "", true, true},
                   {"IZPLAC_NASLOV", T::String, "Naslov", 100, "", true, true},
                   {"IZPLAC_DVS", T::String, "Davčna številka", 8, "", true, true},
                   {"NAZIV", T::String, "Pooblaščenec", 100},
                   {"NASLOV", T::String, "Naslov", 100},
                   {"POOB_DVS", T::String, "Davčna številka", 8},
                   {"SIF_VRSTE_DOH", T::String, "Vrsta dohodka", 10},
                   {"MESEC_LETO", T::String, "Izplačilo za mesec", 7},
                   {"DATUM_IZP", T::Date, "Datum izplačila"},
                   {"DATUM_PLC_DVK", T::Date, "Datum plačila davkov"},
                   {"ZAPST_DEL", T::Integer, "Zap.št del. plačila"},
                   {"STZAP_REZ", T::Integer, "Število rezidentov"},
                   {"STZAP_NEREZ", T::Integer, "Število nerezidentov"},
                   {"NETO", T::Float, "Neto izplačilo", 0, kAmount},
                   {"DOH", T::Float, "Dohodek", 0, kAmount},
                   {"DOH_NEREZ", T::Float, "Dohodek nerezidentov", 0, kAmount},
                   {"DOH_BREZ_DAVODT", T::Float, "Dohodek brez DO", 0, kAmount},
                   {"DAV_OSN", T::Float, "Davčna osnova", 0, kAmount},
                   {"DAV_ODT", T::Float, "Dav. odt. po splošni stopnji", 0, kAmount},
                   {"STOPNJA", T::Float, "Stopnja", 0, "#,##0."},
                   {"DAV_TUJ", T::Float, "Odbitek tujega davka", 0, kAmount},
                   {"DAV_ZNZ_STP_LES", T::Float, "Po znižani stopnji, po lestvici", 0, kAmount},
                   {"DAV_ZNZ_OSN", T::Float, "Davčna osnova za zniž.dav.st.", 0, kAmount},
                   {"DAV_ZNZ_STP", T::Float, "Po nižji stopnji (264.čl)", 0, kAmount},
                   {"SKUPAJ", T::Float, "Za plačilo", 0, kAmount},
                   {"VPL_PODRACUN", T::String, "Vplačilni podračun", 100},
               });
}

void defineHistorySummaryFields(DataSet& ds)
{
    using T = FieldType;
    define(ds, {
                   {"SFKPN", T::Integer, "Šifra kupona", 0, "", false},
                   {"SFVP", T::String, "VP", 20},
                   {"STKPN", T::Integer, "Kupon", 0, "", true, true},
                   {"ID_REK2_ZBIR", T::Integer, "ID zbirne"},
                   {"DURS_ID_DOK", T::String, "EDP številka", 40},
                   {"CORRECTIONFORDOCUMENT", T::String, "Ref. na zbirni", 40},
                   {"CORRECTIONFORANALITICALDATA", T::String, "Ref. na analitiko", 40},
                   {"CORRECTIONTYPE", T::String, "Tip dokumenta", 40},
                   {"IZPLAC_NAZIV", T::String, "Izplačevalec", 100, "", true, true},
                   {"IZPLAC_NASLOV", T::String, "Naslov", 100, "", true, true},
                   {"IZPLAC_DVS", T::String, "Davčna številka", 8, "", true, true},
                   {"NAZIV", T::String, "Pooblaščenec", 100},
                   {"NASLOV", T::String, "Naslov", 100},
                   {"POOB_DVS", T::String, "Davčna številka", 8},
                   {"SIF_VRSTE_DOH", T::String, "Vrsta dohodka", 10},
                   {"MESEC_LETO", T::String, "Izplačilo za mesec", 7},
                   {"DATUM_IZP", T::Date, "Datum izplačila"},
                   {"DATUM_PLC_DVK", T::Date, "Datum plačila davkov"},
                   {"ZAPST_DEL", T::Integer, "Zap.št del. plačila"},
                   {"STZAP_REZ", T::Integer, "Število rezidentov"},
                   {"STZAP_NEREZ", T::Integer, "Število nerezidentov"},
                   {"NETO", T::Float, "Neto izplačilo", 0, kAmount},
                   {"DOH", T::Float, "Dohodek", 0, kAmount},
                   {"DOH_NEREZ", T::Float, "Dohodek nerezidentov", 0, kAmount},
                   {"DOH_BREZ_DAVODT", T::Float, "Dohodek brez DO", 0, kAmount},
                   {"DAV_OSN", T::Float, "Davčna osnova", 0, kAmount},
                   {"DAV_ODT", T::Float, "Dav. odt. po splošni stopnji", 0, kAmount},
                   {"STOPNJA", T::Float, "Stopnja", 0, "#,##0."},
                   {"DAV_TUJ", T::Float, "Odbitek tujega davka", 0, kAmount},
                   {"DAV_ZNZ_STP_LES", T::Float, "Po znižani stopnji, po lestvici", 0, kAmount},
                   {"DAV_ZNZ_STP", T::Float, "Po nižji stopnji (264.čl)", 0, kAmount},
                   {"DAV_ZNZ_OSN", T::Float, "Davčna osnova za zniž.dav.st.", 0, ",0.00"},
                   {"SKUPAJ", T::Float, "Za plačilo", 0, kAmount},
                   {"VPL_PODRACUN", T::String, "Vplačilni podračun", 100},
                   {"CAS", T::Date, "Čas"},
                   {"USR", T::String, "Uporabnik", 40},
                   {"COMPUTER", T::String, "Računalnik", 100},
               });
}

void defineHistoryAnalyticFields(DataSet& ds)
{
    using T = FieldType;
    define(ds, {
                   {"ID_REK2_ANAL", T::Integer, "ID analitike"},
                   {"ID_REK2_ZBIR", T::Integer, "ID zbirne"},
                   {"DURS_ID_DOK", T::String, "EDP številka", 40},
                   {"DVS", T::String, "Davčna številka", 8},
                   {"IDENT_ST", T::String, "Ident. številka", 50},
                   {"IME", T::String, "Ime", 100},
                   {"PRIIMEK", T::String, "Priimek", 100},
                   {"NAZIV", T::String, "Ime in priimek", 100},
                   {"REZ", T::String, "Rezidentstvo", 1},
                   {"DRZ", T::String, "Država", 20},
                   {"UGO_MED_POG", T::String, "Uveljavljanje ugodnosti", 1},
                   {"SIF_SFDOH", T::String, "Oznaka vrste dohodka", 10},
                   {"BRUTO", T::Float, "Bruto znesek", 0, kAmount},
                   {"DAV_ODT_OBR", T::Float, "Obračunani davčni odtegljaj", 0, kAmount},
                   {"DAV_ODT_PLC", T::Float, "Plačani davčni odtegljaj", 0, kAmount},
                   {"DAV_ODT_ODB_TUJ", T::Float, "Odbitek tujega davka", 0, kAmount},
                   {"SIF_VRSTE_DOH", T::String, "Vrsta dohodka", 10},
                   {"DATUM_IZP_DIV", T::Date, "Datum izplačila"},
                   {"DATUM_PLC_DVK", T::Date, "Datum plačila davkov"},
                   {"STATUS", T::String, "Status", 1},
                   {"SfKpn", T::Integer, "Kupon"},
                   {"SFVP", T::String, "VP", 20},
               });
}

} // namespace rek2
