#include "collect/summary_fields.h"

#include "collect/statements.h"
#include "db/dataset.h"
#include "returns/context.h"
#include "returns/working_fields.h"

namespace rek2::collect {

void installSummaryCalcFields(RekContext& ctx, DataSet& view)
{
    defineSummaryFields(view);
    view.OnCalcFields = [&ctx](DataSet& ds) { calcSummaryFields(ctx, ds); };
}

void calcSummaryFields(RekContext& ctx, DataSet& view)
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
    DataSet& kupon = ctx.odsKupon;
    if (!kupon.Active()) {
        kupon.SetSession(ctx.session);
        kupon.SQL = odsKupon();
        kupon.Open();
    }
    if (kupon.Locate(QStringLiteral("SFKPN"), {sfkpn->AsInteger()}))
        stkpn->SetAsVariant(kupon.FieldByName(QStringLiteral("STKPN"))->AsVariant());
}

} // namespace rek2::collect
