#pragma once
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>

namespace rek2 {
struct RekContext;
class DataSet;
} // namespace rek2

namespace rek2::review {

// What Kopiraj did.
struct KopirajResult
{
    bool made = false;    // false: refused (see refusal), nothing copied
    bool restore = false; // an unnumbered return was taken back into work
    QString refusal;
    int newZbirId = 0;      // the working summary made (restore: the history's identifier)
    int rows = 0;           // analytic rows copied
    int links = 0;          // event links made (copy) or cleared (restore)
    QDate datumOd, datumDo; // the collection tab's range that shows the copy
    // Restore only: each file moved, "unsent path -> archive path"; the
    // files of the return that were not in the unsent folder; and files left
    // in place because no archive folder is set.
    QStringList moved;
    QStringList missing;
    QStringList notMoved;
    QStringList warnings; // e.g. an unsent file that could not be deleted after its copy
};

// Why a cancellation (or a correction) of this history summary cannot be
// started, as the record editor decides which buttons it offers; empty when
// it can. `now` is the workstation's time.
QString copyRefusal(const QString& correctionType, const QDate& datumPlcDvk, bool cancellation,
                    const QDateTime& now = QDateTime::currentDateTime());

// The name under which a return taken back is kept in the archive folder:
// X.xml becomes X_neuspesan.xml, or X_neuspesan_2.xml, _3, ... when taken.
QString archiveNameFor(const QString& archiveFolder, const QString& fileName);

// Kopiraj: copies the current history summary of ctx.odsPregled, with its
// history rows, into the working tables.
//
// - Copy mode (the summary has a document number): a new summary of kind
//   'S' (cancellation) or 'X' (correction) referring to the number, new rows
//   and duplicated event links without number or file. Refused when a
//   working summary anywhere in the table already refers to the number.
// - Restore mode (no number): the summary and rows go back with their
//   identifiers (a correction whose kind was determined goes back as 'X');
//   its file moves from the unsent folder to the archive folder under the
//   "_neuspesan" name; the links forget the file; the history copy is deleted.
//
// Everything from the new summary to the history deletion is one
// transaction; a file is deleted from the unsent folder only after its
// archive copy is complete and the transaction committed.
//
// The working summaries of the collection tab that are not cancellations or
// corrections are deleted first (their rows stay), as the tab then shows
// only pending copies; ctx.FKopiranje is raised.
class Kopiraj
{
public:
    explicit Kopiraj(RekContext& ctx) : ctx_(ctx) {}

    // Loads the history rows of the current summary itself (odsPregledA).
    // Refusals are shown with Napaka. Throws DbError or ReviewError
    // (a file that cannot be copied) after rolling back.
    KopirajResult run(bool cancellation);

    // After the transaction: the collection tab's views show the copy
    // (odsREK2_Zbir the pending copies with the new one current, odsNabor its
    // rows over the range). The window sets its pickers first.
    void showOnNabor(const KopirajResult& result);

private:
    void deleteRebuiltSummaries();
    RekContext& ctx_;
    QList<int> keptSummaries_;
};

} // namespace rek2::review
