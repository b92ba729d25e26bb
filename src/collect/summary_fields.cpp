#include "collect/summary_fields.h"

#include "collect/statements.h"
#include "store/context.h"

namespace rek2::collect {

void installSummaryCalcFields(RekContext& ctx, TOracleDataSet& view)
{
    const auto add = [&view](const char* name, const QString& label, FieldType type) {
        if (view.FindField(QLatin1String(name)))
            return;
        FieldDef def;
        def.name = QLatin1String(name);
        def.type = type;
        def.displayLabel = label;
        def.calculated = true;
        view.AddField(def);
    };
    add("STKPN", QStringLiteral("Kupon"), FieldType::Integer);
    add("IZPLAC_NAZIV", QStringLiteral("Izplačevalec"), FieldType::String);
    add("IZPLAC_NASLOV", QStringLiteral("Naslov"), FieldType::String);
    add("IZPLAC_DVS", QStringLiteral("Davčna številka"), FieldType::String);
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
