#pragma once
#include <QDateTime>
#include <QString>
#include <functional>

namespace rek2 {

class Operator;
struct RekContext;
class DataSet;

// How the actions open the record editor on a record; returns its modal
// result (1 OK, 2 Cancel, 6 "Storno", 7 "Popravek"). The window shows the
// real dialog; tests answer for it.
class RecordEditor
{
public:
    // The editor's modal results.
    enum Result { mrNone = 0, mrOk = 1, mrCancel = 2, mrStorno = 6, mrPopravek = 7 };

    virtual ~RecordEditor() = default;
    virtual int edit(DataSet& ds, const QString& editable, const QDateTime& date, int coupon,
                     const QString& security, bool cancellationAllowed, const QString& lookup) = 0;
};

// What the actions ask of the collection tab's controls. All optional.
struct NaborHooks
{
    // The summary grid follows the summary view only while attached.
    std::function<void(bool attached)> attachSummaryGrid;
    // "Brisanje zbirne in analitike" (SpeedButton6).
    std::function<void(bool enabled)> enableDeleteSummary;
};

// The actions of the collection tab "Nabor" on the window state: show the
// range, add, delete and reload analytic rows, delete a summary with its
// rows, and the two grids' clicks. Database errors throw DbError after
// the step's transaction was rolled back.
class NaborActions
{
public:
    NaborActions(RekContext& ctx, RecordEditor& editor, NaborHooks hooks = {});

    void SpeedButton2Click(); // "?": re-group the range and show it
    void SpeedButton3Click(); // new analytic row
    void SpeedButton4Click(); // delete the current analytic row
    void SpeedButton5Click(); // reload the analytic grid
    void SpeedButton6Click(); // delete the current summary with its rows
    void dbgZbirniCellClick(bool gridHasFocus);
    void dbgZbirniExit(bool gridHasFocus);
    void dbgZbirniDblClick();
    void dbgNaborDblClick();

    // Whether SpeedButton6 may delete the current summary.
    bool currentSummaryFree() const;

    // The editable fields of the two grids' editors.
    static QString summaryEditableFields();
    static QString analyticEditableFields();

private:
    // Closes the analytic view and opens it for the current summary (or the
    // whole range); `logPrefix` + the statement goes to the debug log first.
    void reloadAnalytic(const QString& logPrefix, bool alwaysLimit = false);
    QString regroupRange();
    void log(const QString& text);

    RekContext& ctx_;
    RecordEditor& editor_;
    NaborHooks hooks_;
};

} // namespace rek2
