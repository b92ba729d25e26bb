#include "gridexport/chart_data.h"

#include "db/dataset.h"

#include <QHash>
#include <cmath>
#include <limits>

namespace rek2 {

ChartData buildChartData(const DataSet& ds, int xField, const QVector<int>& yFields, int groupField)
{
    ChartData out;
    const int rows = ds.Active() ? ds.RecordCount() : 0;
    QHash<QString, int> legendIndex;
    QHash<QString, int> groupIndex;
    QStringList groups;
    QVector<int> rowLegend(rows), rowGroup(rows);
    for (int r = 0; r < rows; ++r) {
        const QString x = ds.DisplayText(r, xField);
        auto it = legendIndex.constFind(x);
        if (it == legendIndex.constEnd()) {
            it = legendIndex.insert(x, int(out.legends.size()));
            out.legends << x;
        }
        rowLegend[r] = *it;
        const QString g = groupField >= 0 ? ds.DisplayText(r, groupField) : QString();
        auto gi = groupIndex.constFind(g);
        if (gi == groupIndex.constEnd()) {
            gi = groupIndex.insert(g, int(groups.size()));
            groups << g;
            if (groups.size() * yFields.size() >= kChartSeriesLimit)
                throw ChartError(QStringLiteral("Limit of %1 series exceeded").arg(kChartSeriesLimit));
        }
        rowGroup[r] = *gi;
    }
    if (groups.isEmpty())
        groups << QString();
    const double none = std::numeric_limits<double>::quiet_NaN();
    for (const QString& g : groups)
        for (int y : yFields)
            out.series.push_back({ds.Fields(y)->DisplayLabel() + QStringLiteral(": ") + g,
                                  QVector<double>(out.legends.size(), none)});
    const int ys = int(yFields.size());
    for (int r = 0; r < rows; ++r)
        for (int k = 0; k < ys; ++k) {
            const QVariant v = ds.Value(r, yFields[k]);
            if (v.isNull())
                continue;
            double& p = out.series[rowGroup[r] * ys + k].points[rowLegend[r]];
            p = std::isnan(p) ? v.toDouble() : p + v.toDouble();
        }
    return out;
}

} // namespace rek2
