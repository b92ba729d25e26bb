#pragma once
// What the benchmarks share: clocks, memory readings, a silent operator and
// the demo registry they measure on.
#include "base/operator.h"
#include "batch/demo_generator.h"

#include <QDate>
#include <QString>
#include <chrono>

namespace rek2::bench {

using Clock = std::chrono::steady_clock;

inline double seconds(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double>(b - a).count();
}

inline double ms(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double, std::milli>(b - a).count();
}

// Peak resident memory since the start or the last resetPeak(), in MiB (Linux).
double peakMiB();
void resetPeak();
// Resident memory now, in MiB (Linux).
double residentMiB();

// Nobody at the workstation: recipients sharing a tax number (the demo
// registry has some) are answered with Ignore, as the batch option does.
class SilentOperator : public Operator
{
public:
    void Napaka(const QString&, const QString&) override {}
    int Opozorilo(const QString&, const QString&, const QString&) override { return 1; }
    bool AbortIgnore(const QString&) override { return true; }
    void Information(const QString&) override {}
    bool Question(const QString&, const QString&) override { return true; }
    QString OpenFileName(const QString&, const QString&) override { return QString(); }
    void ShowMsgDlg(bool, const QString&) override {}
};

// A new demo registry database at `path` (as `rek2-batch ... init --demo`
// makes it), with fresh statistics for the planner. Exits on failure.
batch::DemoSummary makeDemoRegistry(const QString& path, int holders, int days = 10,
                                    QDate from = QDate(2026, 11, 2));

} // namespace rek2::bench
