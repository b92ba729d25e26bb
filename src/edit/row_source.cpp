#include "edit/row_source.h"

#include "db/dataset.h"

namespace rek2 {
namespace {

QString textOf(const DataSet& ds, const char* name)
{
    const TField* f = ds.FindField(QLatin1String(name));
    return f ? f->AsString() : QString();
}

double amountOf(const DataSet& ds, const char* name)
{
    const TField* f = ds.FindField(QLatin1String(name));
    return f ? f->AsFloat() : 0.0;
}

} // namespace

AnalyticRow analyticRowOf(const DataSet& ds)
{
    AnalyticRow r;
    if (const TField* id = ds.FindField(QStringLiteral("ID_REK2_ANAL")))
        r.ID_REK2_ANAL = id->AsInteger();
    r.DVS = textOf(ds, "DVS");
    r.IDENT_ST = textOf(ds, "IDENT_ST");
    r.REZ = textOf(ds, "REZ");
    r.DRZ = textOf(ds, "DRZ");
    r.SIF_VRSTE_DOH = textOf(ds, "SIF_VRSTE_DOH");
    r.SIF_SFDOH = textOf(ds, "SIF_SFDOH");
    r.UGO_MED_POG = textOf(ds, "UGO_MED_POG");
    r.BRUTO = amountOf(ds, "BRUTO");
    r.DAV_ODT_OBR = amountOf(ds, "DAV_ODT_OBR");
    r.DAV_ODT_PLC = amountOf(ds, "DAV_ODT_PLC");
    r.DAV_ODT_ODB_TUJ = amountOf(ds, "DAV_ODT_ODB_TUJ");
    return r;
}

} // namespace rek2
