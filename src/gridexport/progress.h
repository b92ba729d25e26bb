#pragma once
#include <QString>

namespace rek2 {

// Thrown by Progress::step when the operator pressed Cancel. The operation
// stops where it is, cleans up, and no message is shown.
struct OperationCancelled
{
};

// What a long grid operation reports to the operator: a title, a maximum and
// one step per row. The window's progress window implements it; headless
// callers pass nothing (see progressOrNone).
class Progress
{
public:
    virtual ~Progress() = default;
    virtual void start(const QString& title, int maximum) = 0;
    // One more row done; throws OperationCancelled once Cancel was pressed.
    virtual void step() = 0;
    virtual void close() = 0;
};

// A Progress that shows nothing and never cancels.
Progress& noProgress();

// Starts on construction and closes on every way out of the scope.
class ProgressScope
{
public:
    ProgressScope(Progress* p, const QString& title, int maximum) : p_(p ? *p : noProgress())
    {
        p_.start(title, maximum);
    }
    ~ProgressScope() { p_.close(); }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;
    void step() { p_.step(); }

private:
    Progress& p_;
};

} // namespace rek2
