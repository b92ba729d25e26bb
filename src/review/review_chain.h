#pragma once
#include <QString>
#include <vector>

namespace rek2::review {

// What the correction chain of written returns looks at in one history
// summary: its own document number, the number it refers to and its kind.
struct ChainEntry
{
    QString dursIdDok;             // DURS_ID_DOK
    QString correctionForDocument; // CORRECTIONFORDOCUMENT
    QString correctionType;        // CORRECTIONTYPE
};

// Whether a summary of this kind replaces the return it refers to: a
// cancellation or a correction, before ('S', 'X') or after ('P', 'I', 'A',
// 'Z') its kind was determined. A second part ('D') names the original's
// number too, but it supplements the original and replaces nothing.
bool replacesReferencedReturn(const QString& correctionType);

// The first entry (in order) other than `index` that replaces entry `index`:
// its reference equals the entry's document number, without regard to case.
// -1 when the entry has no number or nothing replaces it.
int replacedBy(const std::vector<ChainEntry>& entries, int index);

// TrySetParentIfExists: the entry has been replaced by another loaded one.
bool isSuperseded(const std::vector<ChainEntry>& entries, int index);

// SetParentIfExists: from `index`, move to the replacing entry as long as
// the current one has a number and something replaces it. A walk that comes
// back to an entry already visited (a cycle in stored data) stops there.
int newestMember(const std::vector<ChainEntry>& entries, int index);

// isSuperseded for every entry at once (drawing a whole grid).
std::vector<bool> supersededFlags(const std::vector<ChainEntry>& entries);

} // namespace rek2::review
