#pragma once
#include <QString>
#include <QStringList>

namespace rek2 {

class Session;

// A return's file and its archive step are made one step, as a journal
// would: the file is written under a temporary name that the report files
// tab never lists, the database step that archives the return records the
// final name in REK2_XML_JOURNAL in the same transaction, and only then is
// the file renamed into place (and its journal row removed). After a crash
// at any point, finishInterruptedReturns() completes what the journal says
// was committed and removes any other temporary file: the folder of unsent
// returns never holds a return that is not archived, and never lacks the
// file of one that is.
namespace journal {

// The temporary name of a return's file while it is being written.
QString temporaryPath(const QString& finalPath);
// Whether a file name is such a temporary name.
bool isTemporaryName(const QString& fileName);

// Creates the journal table when an older database lacks it. Call inside
// the writing transaction.
void ensureTable(Session& session);
// Records that the return whose file will be `finalPath` is archived; same
// transaction as the archive step.
void record(Session& session, const QString& finalPath);
// Forgets a completed rename (its own small commit; a failure is harmless,
// the next clean-up forgets it).
void forget(Session& session, const QString& finalPath);

// Finishes returns a crash interrupted: a temporary file whose final name is
// recorded is renamed into place, any other temporary file in `xmlFolder`
// is removed (files another program is still writing are left alone).
// Returns one line per file it acted on, for the log. Never throws; a
// read-only database or folder leaves things as they are.
QStringList finishInterruptedReturns(Session& session, const QString& xmlFolder);

} // namespace journal
} // namespace rek2
