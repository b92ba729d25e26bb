#include "collect/grouping.h"

#include "db/error.h"

#include <QHash>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

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

namespace {

// The tax numbers of one group, counted. A tax number is eight digits: such
// a text (up to eight characters of plain ASCII, none of them NUL) is kept
// as its bytes in one number, which sorts and compares far more cheaply
// than the text; any other text is counted as it is.
class TaxNumberCount
{
public:
    void add(const QString& dvs)
    {
        quint64 packed = 0;
        if (pack(dvs, packed))
            packed_.push_back(packed);
        else
            ++others_[dvs];
    }

    // The tax numbers counted more than once, by tax number; empties the count.
    std::vector<RepeatedTaxNumber> takeRepeated()
    {
        std::vector<RepeatedTaxNumber> repeated;
        std::sort(packed_.begin(), packed_.end());
        for (size_t i = 0; i < packed_.size();) {
            size_t j = i + 1;
            while (j < packed_.size() && packed_[j] == packed_[i])
                ++j;
            if (j - i > 1)
                repeated.push_back({unpack(packed_[i]), int(j - i), 0});
            i = j;
        }
        for (auto it = others_.cbegin(); it != others_.cend(); ++it)
            if (it.value() > 1)
                repeated.push_back({it.key(), it.value(), 0});
        std::sort(repeated.begin(), repeated.end(),
                  [](const RepeatedTaxNumber& a, const RepeatedTaxNumber& b) { return a.dvs < b.dvs; });
        packed_.clear();
        others_.clear();
        return repeated;
    }

private:
    static bool pack(const QString& text, quint64& packed)
    {
        if (text.size() > 8)
            return false;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t c = text[i].unicode();
            if (c == 0 || c > 0x7f)
                return false;
            packed |= quint64(c) << (8 * i);
        }
        return true;
    }
    static QString unpack(quint64 packed)
    {
        QString text;
        for (; packed != 0; packed >>= 8)
            text += QLatin1Char(char(packed & 0xff));
        return text;
    }

    std::vector<quint64> packed_;
    QHash<QString, int> others_;
};

} // namespace

std::vector<Group> buildGroups(const std::vector<AnalyticRow>& rows)
{
    std::vector<Group> groups;
    // Tax numbers of the group being built: counted as the rows go by, so
    // that only the repeated ones are kept.
    TaxNumberCount taxNumbers;
    const auto closeGroup = [&] {
        if (!groups.empty())
            groups.back().repeated = taxNumbers.takeRepeated();
    };
    for (const auto& row : rows) {
        if (groups.empty() || !groups.back().accepts(row)) {
            closeGroup();
            groups.emplace_back();
            groups.back().first = row;
        }
        groups.back().rowIds.push_back(row.id);
        groups.back().totals.add(row);
        if (row.id != 0 && !row.dvs.isEmpty())
            taxNumbers.add(row.dvs);
    }
    closeGroup();
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

namespace {

void appendNumber(std::string& out, int value)
{
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

} // namespace

// Both texts are built as plain bytes: a large dividend day re-assigns a
// group of a hundred thousand identifiers.
QString reassignmentSql(int summaryId, const std::vector<int>& rowIds, int chunkSize)
{
    std::string out = " UPDATE REK2_ANAL SET ID_REK2_ZBIR=";
    appendNumber(out, summaryId);
    out += " WHERE";
    out.reserve(out.size() + rowIds.size() * 8 + 64);
    int inChunk = 0;
    bool any = false;
    for (int id : rowIds) {
        if (id == 0)
            continue;
        if (inChunk == chunkSize) {
            out += ") \n OR \n ID_REK2_ANAL IN (";
            inChunk = 0;
        } else if (inChunk > 0) {
            out += ',';
        } else {
            out += "\n ID_REK2_ANAL IN (";
        }
        appendNumber(out, id);
        ++inChunk;
        any = true;
    }
    if (!any)
        return QString();
    out += ") ";
    return QString::fromLatin1(out.data(), qsizetype(out.size()));
}

QString reassignmentIds(const std::vector<int>& rowIds)
{
    std::string out = "[";
    out.reserve(rowIds.size() * 8 + 2);
    for (int id : rowIds) {
        if (id == 0)
            continue;
        if (out.size() > 1)
            out += ',';
        appendNumber(out, id);
    }
    out += ']';
    return QString::fromLatin1(out.data(), qsizetype(out.size()));
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
