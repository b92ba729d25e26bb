#pragma once
#include "collect/regroup.h"
#include "import/import_mapping.h"
#include "import/sheet_table.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>

namespace rek2 {
struct RekContext;
class Query;
} // namespace rek2

namespace rek2::importxls {

// One analytic row stored by an import.
struct StoredRow
{
    int id = 0;       // ID_REK2_ANAL
    int sheetRow = 0; // worksheet row it came from
    QString naziv;
};

// What an import of one day would store, found without asking or storing.
struct ImportPlan
{
    int firstRow = 0, lastRow = 0, count = 0;
};

// The rows from the mapping's first data row down to the last used row or
// the first empty payment date. Throws ImportError with the message of a
// payment date that is not `day`.
ImportPlan planImport(const SheetTable& table, const ImportMapping& mapping, const QDate& day);

// The message of a payment date that is not the chosen day.
QString wrongDayMessage(const QString& cellText, const QDate& day);
QString confirmDayQuestion(const QDate& day);

struct ImportOutcome
{
    QList<StoredRow> stored;
    QString findings;   // the import log: "\r\nZa ID:" lines
    QString summaryIds; // summaries built after the import, ", "-joined
    QString logFile;    // ImportLog.txt when it was written
    bool wrongDay = false;
    bool cancelled = false; // the operator did not confirm the day
};

// "Import iz XLS": reads the first worksheet through the saved mapping,
// stores one analytic row per worksheet row of the day of the picker "Datum
// od" (each in its own transaction), reports the rows' findings in
// ImportLog.txt and re-groups the period into summary records.
class SheetImport
{
public:
    struct Hooks
    {
        collect::GridHooks grid;
        // Shows the written log file (the window opens it in the desktop's
        // text viewer; the batch command leaves it empty).
        std::function<void(const QString& path)> showLog;
        // Each stored row, as it is committed.
        std::function<void(const StoredRow&)> rowStored;
    };

    SheetImport(RekContext& ctx, QString logFolder, Hooks hooks = {});

    // Everything after the file was chosen. Errors that stop the import
    // (unreadable workbook, unconvertible cell, database error) are thrown
    // as ImportError or DbError; rows committed before stay.
    ImportOutcome run(const QString& path);

    // bImportClick: logs, asks for the file (nothing happens when the
    // operator cancels), runs the import.
    bool bImportClick();

    // Reading done: stores the rows (Xls_To_Table after the workbook is read).
    void storeRows(const SheetTable& table, const ImportMapping& mapping, ImportOutcome& out);

    // The findings of the rows stored by the last run, also when it stopped
    // on an error.
    const QString& findingsSoFar() const { return findings_; }

    // Groups the period's rows into summaries and reloads both views.
    void regroup(ImportOutcome& out);

private:
    struct Coupons;
    int storeRow(Query& insert, const SheetTable& table, const ImportMapping& mapping, int row,
                 Coupons& coupons, QString& findings, QString& naziv);
    QString writeLogFile(const QString& text);
    void log(const QString& text);

    RekContext& ctx_;
    QString logFolder_;
    Hooks hooks_;
    QString findings_;
};

// Appends one entry to ImportLog.txt in `folder` (UTF-8): the date and time,
// " : " and the text. Returns the file's path; throws ImportError when it
// cannot be written.
QString appendImportLog(const QString& folder, const QString& text, const QDateTime& when);

} // namespace rek2::importxls
