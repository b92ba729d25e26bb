#pragma once
#include <QString>
#include <QStringList>

namespace rek2 {

class TranslationDatabase;

// The statements of an import script: lines are trimmed, empty lines and
// lines starting with "--" are skipped, a line ending in ";" ends a
// statement (without the ";"), and the last line ends the last statement
// as it is. Each statement is the list of its lines.
QList<QStringList> splitTranslationScript(const QString& text);

struct MaintenanceOutcome
{
    int formsDeleted = 0;
    bool allDeleted = false;
    QStringList scriptsRun;    // scripts whose statements all succeeded
    QStringList scriptsFailed; // scripts rolled back (see their ".log")
    bool importedAny() const { return !scriptsRun.isEmpty(); }
};

// The start-up maintenance of "QuorTranslation.ini" (`iniPath`):
// - section "DELETE": an entry FORM = 1 deletes that form's rows, "ALL" = 1
//   empties the three tables; each entry done is set to 0 (after "ALL" every
//   entry of the section, since nothing is left to delete);
// - section "IMPORT": an entry NAME = 1 runs the script that section "FILES"
//   names under NAME (a file in the INI file's folder), at most once per
//   start, and is set to 0 afterwards, also when the file does not exist.
//   A script runs in one transaction: when a statement fails, the statement
//   (its lines), the error and an empty line are appended to the script's
//   name + ".log", the remaining statements still run so every fault is
//   logged, and the whole script is rolled back.
// The database is opened only when an entry asks for work. Throws DbError
// when it cannot be reached or a deletion fails; the entry then stays 1.
MaintenanceOutcome runTranslationMaintenance(const QString& iniPath, TranslationDatabase& db,
                                             const QString& programName);

} // namespace rek2
