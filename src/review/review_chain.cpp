#include "review/review_chain.h"

#include <QHash>
#include <QSet>

namespace rek2::review {

bool replacesReferencedReturn(const QString& correctionType)
{
    static const QSet<QString> kinds = {QStringLiteral("S"), QStringLiteral("X"), QStringLiteral("P"),
                                        QStringLiteral("I"), QStringLiteral("A"), QStringLiteral("Z")};
    return kinds.contains(correctionType.trimmed().toUpper());
}

int replacedBy(const std::vector<ChainEntry>& entries, int index)
{
    const QString& number = entries.at(size_t(index)).dursIdDok;
    if (number.isEmpty())
        return -1;
    for (int i = 0; i < int(entries.size()); ++i) {
        if (i == index)
            continue;
        const ChainEntry& e = entries[size_t(i)];
        if (replacesReferencedReturn(e.correctionType) &&
            e.correctionForDocument.compare(number, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool isSuperseded(const std::vector<ChainEntry>& entries, int index)
{
    return replacedBy(entries, index) >= 0;
}

int newestMember(const std::vector<ChainEntry>& entries, int index)
{
    QSet<int> visited{index};
    for (;;) {
        const int next = replacedBy(entries, index);
        if (next < 0 || visited.contains(next))
            return index;
        visited.insert(next);
        index = next;
    }
}

std::vector<bool> supersededFlags(const std::vector<ChainEntry>& entries)
{
    // Numbers referred to by replacing summaries, each with the entries that
    // refer to it, so a grid of thousands is marked in one pass.
    QHash<QString, QList<int>> referrers;
    for (int i = 0; i < int(entries.size()); ++i) {
        const ChainEntry& e = entries[size_t(i)];
        if (!e.correctionForDocument.isEmpty() && replacesReferencedReturn(e.correctionType))
            referrers[e.correctionForDocument.toUpper()] << i;
    }
    std::vector<bool> flags(entries.size(), false);
    for (int i = 0; i < int(entries.size()); ++i) {
        const QString& number = entries[size_t(i)].dursIdDok;
        if (number.isEmpty())
            continue;
        const auto it = referrers.constFind(number.toUpper());
        if (it == referrers.constEnd())
            continue;
        for (int r : *it)
            if (r != i) {
                flags[size_t(i)] = true;
                break;
            }
    }
    return flags;
}

} // namespace rek2::review
