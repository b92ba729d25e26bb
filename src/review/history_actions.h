#pragma once
#include "review/kopiraj.h"

#include <QDateTime>
#include <QStringList>

namespace rek2 {
struct RekContext;
}

namespace rek2::review {

enum class CopyKind { Storno, Popravek, Restore };

// The double-click's copies without the window, for one history summary
// named by its identifier: the whole history is loaded into odsPregled, a
// cancellation or correction acts on the newest member of the summary's
// correction chain, and the editor's refusals apply (no cancellation of a
// cancellation, no correction after 365 days, only unnumbered returns are
// taken back). On success the collection tab's views show the copy
// (odsREK2_Zbir, odsNabor). Throws ReviewError on a refusal, DbError on a
// database error.
KopirajResult copyFromHistory(RekContext& ctx, int idZbir, CopyKind kind,
                              const QDateTime& now = QDateTime::currentDateTime());

// What the operator is told after a copy that took a return back: where its
// file went, or that it was not there. Empty after other copies.
QStringList describeCopy(const KopirajResult& result);

} // namespace rek2::review
