#pragma once
#include <QString>
#include <QStringList>

namespace rek2 {

// Everything the domain code needs from the person at the workstation.
// The main window implements it with real dialogs; tests script the answers
// (see ScriptedOperator in tests). Dialog texts are passed exactly as shown.
class Operator
{
public:
    virtual ~Operator() = default;

    // Napaka: modal warning (title "Opozorilo!") with one button captioned `button`.
    virtual void Napaka(const QString& message, const QString& button) = 0;

    // Opozorilo: modal warning with two buttons; 1 = first button, 2 = second
    // button, Escape or the close box.
    virtual int Opozorilo(const QString& message, const QString& okCaption, const QString& cancelCaption) = 0;

    // Warning with the platform's Abort and Ignore buttons; true = Ignore.
    virtual bool AbortIgnore(const QString& message) = 0;

    // Plain information box (one OK button).
    virtual void Information(const QString& message) = 0;

    // Yes/No question; true = Yes.
    virtual bool Question(const QString& message, const QString& title = QString()) = 0;

    // A file to open; empty when the operator cancelled.
    virtual QString OpenFileName(const QString& caption, const QString& filter) = 0;

    // ShowMsgDlg: busy indicator on (with text) or off. Implementations log
    // text + " začetak!" when showing.
    virtual void ShowMsgDlg(bool show, const QString& text) = 0;

    // Lets pending window messages run at the fixed points of long actions.
    virtual void ProcessEvents() {}

    // Progress of long work (0..max); max 0 hides it.
    virtual void Progress(int /*value*/, int /*max*/) {}
};

// Shows the busy indicator for the lifetime of the guard: hidden again on
// every path out of the action, errors included.
class BusyGuard
{
public:
    BusyGuard(Operator& op, const QString& text) : op_(op) { op_.ShowMsgDlg(true, text); }
    ~BusyGuard() { op_.ShowMsgDlg(false, QString()); }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

private:
    Operator& op_;
};

// Progress of a long action in steps, shown for the lifetime of the guard
// (the window repaints while the engine works) and hidden again on every
// path out of the action, errors included. No operator, nothing shown.
class StepProgress
{
public:
    StepProgress(Operator* op, int steps) : op_(op), steps_(steps) { reached(0); }
    ~StepProgress()
    {
        if (op_)
            op_->Progress(0, 0);
    }
    StepProgress(const StepProgress&) = delete;
    StepProgress& operator=(const StepProgress&) = delete;

    void reached(int step)
    {
        if (op_)
            op_->Progress(step, steps_);
    }

private:
    Operator* op_;
    int steps_;
};

} // namespace rek2
