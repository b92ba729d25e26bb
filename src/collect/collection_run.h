#pragma once
#include "collect/regroup.h"

#include <QString>
#include <functional>

namespace rek2 {
struct RekContext;
}

namespace rek2::collect {

// What the run asks of the window besides the operator's dialogs.
struct RunHooks
{
    GridHooks grid;
    std::function<void()> showParametersTab;  // tab 3 "Parametri"
    std::function<void()> dbgZbirniCellClick; // first column of the summary grid's current row
};

// One collection "Prenos iz DOG" for the period of the collection tab's
// pickers. Each writing step is its own transaction; an error rolls back
// that step, hides the busy indicator and travels on (DbError) to the
// window's error handler; earlier steps stay committed.
class CollectionRun
{
public:
    enum class Outcome { Finished, Aborted };

    explicit CollectionRun(RekContext& ctx, RunHooks hooks = {});

    // Every step of the run. Aborted: the operator answered the duplicate
    // tax numbers with Abort; what was written so far stays.
    Outcome bNaborClick();

    // This run's summary identifiers (", "-joined), once re-grouped.
    const QString& summaryIds() const { return ids_; }

    // :SfVpGotEUR for the period: the cash code of the euro once the period
    // reaches the changeover day, 1 before it, 0 without a changeover row.
    static int sfVpGotEur(RekContext& ctx);

private:
    void checkEventCodes();
    void cleanUp();
    void selectEventsAndRows();
    void checkNewRows();
    bool duplicatesAccepted(Regrouping& regroup);
    void linkEvents();
    void log(const QString& text);
    void logCount(const QString& label, int count, const QString& sql);

    RekContext& ctx_;
    RunHooks hooks_;
    QString ids_;
};

} // namespace rek2::collect
