#include "collect/summary_fields.h"

#include "collect/statements.h"
#include "store/context.h"

namespace rek2::collect {
namespace {

struct Column
{
    const char* name;
    FieldType type;
    int size;
    const char* label;
    bool calculated = false;
    bool visible = true;
};

const QString kAmount = QStringLiteral("#,##0.00");

// The summary grid's columns in display order, with their captions.
const Column kColumns[] = {
    {"SFVP", FieldType::String, 20, "VP"},
    {"STKPN", FieldType::Integer, 0, "Kupon", true},
    {"SFKPN", FieldType::Integer, 0, "Šifra kupona", false, false},
    {"ID_REK2_ZBIR", FieldType::Integer, 0, "ID zbirne"},
    {"DURS_ID_DOK", FieldType::String, 40, "EDP številka"},
    {"CORRECTIONFORDOCUMENT", FieldType::String, 40, "Ref. na zbirni"},
    {"CORRECTIONFORANALITICALDATA", FieldType::String, 40, "Ref. na analitiko"},
    {"CORRECTIONTYPE", FieldType::String, 40, "Tip dokumenta"},
    {"IZPLAC_NAZIV", FieldType::String, 120, "Izplačevalec", true},
    {"IZPLAC_NASLOV", FieldType::String, 100, "Naslov", true},
    {"IZPLAC_DVS", FieldType::String, 10, "Davčna številka", true},
    {"NAZIV", FieldType::String, 100, "Pooblaščenec"},
    {"NASLOV", FieldType::String, 100, "Naslov"},
    {"POOB_DVS", FieldType::String, 8, "Davčna številka"},
    {"SIF_VRSTE_DOH", FieldType::String, 10, "Vrsta dohodka"},
    {"MESEC_LETO", FieldType::String, 7, "Izplačilo za mesec"},
    {"DATUM_IZP", FieldType::Date, 0, "Datum izplačila"},
    {"DATUM_PLC_DVK", FieldType::Date, 0, "Datum plačila davkov"},
    {"ZAPST_DEL", FieldType::Integer, 0, "Zap.št del. plačila"},
    {"STZAP_REZ", FieldType::Integer, 0, "Število rezidentov"},
    {"STZAP_NEREZ", FieldType::Integer, 0, "Število nerezidentov"},
    {"NETO", FieldType::Float, 0, "Neto izplačilo"},
    {"DOH", FieldType::Float, 0, "Dohodek"},
    {"DOH_NEREZ", FieldType::Float, 0, "Dohodek nerezidentov"},
    {"DOH_BREZ_DAVODT", FieldType::Float, 0, "Dohodek brez DO"},
    {"DAV_OSN", FieldType::Float, 0, "Davčna osnova"},
    {"DAV_ODT", FieldType::Float, 0, "Dav. odt. po splošni stopnji"},
    {"STOPNJA", FieldType::Float, 0, "Stopnja"},
    {"DAV_TUJ", FieldType::Float, 0, "Odbitek tujega davka"},
    {"DAV_ZNZ_STP_LES", FieldType::Float, 0, "Po znižani stopnji, po lestvici"},
    {"DAV_ZNZ_OSN", FieldType::Float, 0, "Davčna osnova za zniž.dav.st."},
    {"DAV_ZNZ_STP", FieldType::Float, 0, "Po nižji stopnji (264.čl)"},
    {"SKUPAJ", FieldType::Float, 0, "Za plačilo"},
    {"VPL_PODRACUN", FieldType::String, 100, "Vplačilni podračun"},
};

} // namespace

void installSummaryCalcFields(RekContext& ctx, TOracleDataSet& view)
{
    // Once a dataset has defined fields it shows only those, so a view
    // without definitions gets the whole column list; one defined elsewhere
    // only gets the computed columns it lacks.
    const bool whole = view.FieldCount() == 0 || !view.FindField(QStringLiteral("SFVP"));
    for (const Column& c : kColumns) {
        if ((!whole && !c.calculated) || view.FindField(QLatin1String(c.name)))
            continue;
        FieldDef def;
        def.name = QLatin1String(c.name);
        def.type = c.type;
        def.size = c.size;
        def.displayLabel = QString::fromUtf8(c.label);
        def.calculated = c.calculated;
        def.visible = c.visible;
        if (c.type == FieldType::Float)
            def.displayFormat = def.name == QLatin1String("STOPNJA") ? QStringLiteral("#,##0.") : kAmount;
        view.AddField(def);
    }
    view.OnCalcFields = [&ctx](TOracleDataSet& ds) { calcSummaryFields(ctx, ds); };
}

void calcSummaryFields(RekContext& ctx, TOracleDataSet& view)
{
    if (TField* f = view.FindField(QStringLiteral("IZPLAC_NAZIV")))
        f->SetAsString(ctx.settings.NazivIzp);
    if (TField* f = view.FindField(QStringLiteral("IZPLAC_NASLOV")))
        f->SetAsString(ctx.settings.NaslovIzp);
    if (TField* f = view.FindField(QStringLiteral("IZPLAC_DVS")))
        f->SetAsString(ctx.settings.DvsIzp);

    TField* stkpn = view.FindField(QStringLiteral("STKPN"));
    TField* sfkpn = view.FindField(QStringLiteral("SFKPN"));
    if (!stkpn || !sfkpn || sfkpn->AsInteger() <= 0)
        return;
    TOracleDataSet& kupon = ctx.odsKupon;
    if (!kupon.Active()) {
        kupon.SetSession(ctx.session);
        kupon.SQL = odsKupon();
        kupon.Open();
    }
    if (kupon.Locate(QStringLiteral("SFKPN"), {sfkpn->AsInteger()}))
        stkpn->SetAsVariant(kupon.FieldByName(QStringLiteral("STKPN"))->AsVariant());
}

} // namespace rek2::collect
