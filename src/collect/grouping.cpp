#include "collect/grouping.h"

#include "db/error.h"

#include <cmath>

namespace rek2::collect {

double roundCents(double value)
{
    // nearbyint follows the default rounding mode, which is to nearest, ties to even.
    return std::nearbyint(value / 0.01) / 100.0;
}

void GroupTotals::add(const AnalyticRow& row)
{
    const double b = row.bruto;
    const double o = row.davOdtObr;
    const double t = row.davOdtOdbTuj;
    const double b2 = roundCents(b);
    const double o2 = roundCents(o);
    const double t2 = roundCents(t);
    if (row.rez == QLatin1String("R"))
        ++stZapRez;
    else {
        ++stZapNerez;
        dohNerez += b;
    }
    neto += b2 - o2 - t2;
    doh += b;
    sumT += t;
    sumO2 += o2;
    if (row.znizanaStopnja == QLatin1String("D")) {
        znzStp += o2;
        znzOsn += b;
    }
}

static bool sameKey(const QVariant& a, const QVariant& b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() && b.isNull();
    return a.toLongLong() == b.toLongLong();
}

bool Group::accepts(const AnalyticRow& row) const
{
    return sameKey(first.sfkpn, row.sfkpn) && first.sifVrsteDoh == row.sifVrsteDoh &&
           first.datumIzp == row.datumIzp && first.datumPlcDvk == row.datumPlcDvk;
}

std::vector<Group> buildGroups(const std::vector<AnalyticRow>& rows)
{
    std::vector<Group> groups;
    for (const auto& row : rows) {
        if (groups.empty() || !groups.back().accepts(row)) {
            groups.emplace_back();
            groups.back().first = row;
        }
        groups.back().rowIds.push_back(row.id);
        groups.back().totals.add(row);
    }
    return groups;
}

QString correctionType(const QDate& datumIzp, const QDate& datumPlcDvk, const QDate& danZacetka,
                       bool danZacetkaValid)
{
    if (!datumPlcDvk.isValid() || datumPlcDvk <= datumIzp)
        return QStringLiteral("O");
    if (!danZacetkaValid || !danZacetka.isValid())
        throw DbError(
            QStringLiteral("Prvi dan dnevnega poročanja (DANZACETKA v REK2_SIF) ni veljaven datum!"));
    if (datumIzp < danZacetka && danZacetka <= datumPlcDvk)
        return QStringLiteral("O");
    return QStringLiteral("D");
}

QString reassignmentSql(int summaryId, const std::vector<int>& rowIds, int chunkSize)
{
    QStringList chunks;
    QStringList current;
    for (int id : rowIds) {
        if (id == 0)
            continue;
        current << QString::number(id);
        if (current.size() == chunkSize) {
            chunks << current.join(QLatin1Char(','));
            current.clear();
        }
    }
    if (!current.isEmpty())
        chunks << current.join(QLatin1Char(','));
    if (chunks.isEmpty())
        return QString();
    QStringList lines;
    lines << QStringLiteral(" UPDATE REK2_ANAL SET ID_REK2_ZBIR=") + QString::number(summaryId) +
                 QStringLiteral(" WHERE");
    for (int i = 0; i < chunks.size(); ++i) {
        if (i > 0)
            lines << QStringLiteral(" OR ");
        lines << QStringLiteral(" ID_REK2_ANAL IN (") + chunks[i] + QStringLiteral(") ");
    }
    return lines.join(QLatin1Char('\n'));
}

QString reassignmentIds(const std::vector<int>& rowIds)
{
    QString out(QLatin1Char('['));
    out.reserve(qsizetype(rowIds.size()) * 8 + 2);
    for (int id : rowIds) {
        if (id == 0)
            continue;
        if (out.size() > 1)
            out += QLatin1Char(',');
        out += QString::number(id);
    }
    out += QLatin1Char(']');
    return out;
}

QString idList(const std::vector<int>& ids)
{
    QStringList out;
    out.reserve(int(ids.size()));
    for (int id : ids)
        out << QString::number(id);
    return out.join(QStringLiteral(", "));
}

} // namespace rek2::collect
