#include "batch/summary_print.h"

#include "batch/batch.h"
#include "db/dataset.h"
#include "db/field.h"

namespace rek2::batch {

namespace {

const QStringList kColumns = {
    "ID_REK2_ZBIR", "SFVP",          "STKPN",       "CORRECTIONTYPE", "SIF_VRSTE_DOH",
    "DATUM_IZP",    "DATUM_PLC_DVK", "ZAPST_DEL",   "STZAP_REZ",      "STZAP_NEREZ",
    "NETO",         "DOH",           "DOH_NEREZ",   "DAV_OSN",        "DAV_ODT",
    "STOPNJA",      "DAV_TUJ",       "DAV_ZNZ_STP", "DAV_ZNZ_OSN",    "SKUPAJ",
};
const QStringList kWholeNumbers = {"ID_REK2_ZBIR", "STKPN", "ZAPST_DEL", "STZAP_REZ", "STZAP_NEREZ"};
const QStringList kTexts = {"SFVP", "CORRECTIONTYPE", "SIF_VRSTE_DOH"};
const QStringList kDates = {"DATUM_IZP", "DATUM_PLC_DVK"};

QString cell(DataSet& view, const QString& column)
{
    TField* f = view.FieldByName(column);
    if (f->IsNull())
        return QString();
    if (kDates.contains(column))
        return f->AsDate().toString(Qt::ISODate);
    if (kWholeNumbers.contains(column))
        return QString::number(qRound64(f->AsFloat()));
    if (kTexts.contains(column))
        return f->AsString();
    return QString::number(f->AsFloat(), 'f', 2);
}

} // namespace

void printSummaries(BatchContext& ctx, DataSet& view)
{
    if (!ctx.out)
        return;
    *ctx.out << kColumns.join(QLatin1Char('\t')) << '\n';
    if (view.Active()) {
        for (view.First(); !view.Eof(); view.Next()) {
            QStringList line;
            for (const auto& column : kColumns)
                line << cell(view, column);
            *ctx.out << line.join(QLatin1Char('\t')) << '\n';
        }
    }
    ctx.out->flush();
}

} // namespace rek2::batch
