#pragma once
#include "base/operator.h"

#include <QStringList>
#include <deque>

namespace rek2::test {

// An Operator whose answers a test scripts in advance and whose dialogs it
// records, so headless tests can see exactly what an operator would have seen.
class ScriptedOperator : public Operator
{
public:
    struct Shown
    {
        QString kind;  // "Napaka", "Opozorilo", "AbortIgnore", "Information", "Question", "OpenFileName"
        QString text;
        QStringList buttons;
    };

    std::deque<int> opozoriloAnswers;     // default 1
    std::deque<bool> abortIgnoreAnswers;  // default false (Abort)
    std::deque<bool> questionAnswers;     // default true
    std::deque<QString> fileNames;        // default empty (cancelled)

    std::vector<Shown> shown;
    QStringList busyLog;  // "show:<text>" / "hide"
    bool busy = false;
    QStringList progressLog; // "value/max"; "0/0" hides

    void Napaka(const QString& message, const QString& button) override
    {
        shown.push_back({QStringLiteral("Napaka"), message, {button}});
    }
    int Opozorilo(const QString& message, const QString& ok, const QString& cancel) override
    {
        shown.push_back({QStringLiteral("Opozorilo"), message, {ok, cancel}});
        return take(opozoriloAnswers, 1);
    }
    bool AbortIgnore(const QString& message) override
    {
        shown.push_back({QStringLiteral("AbortIgnore"), message, {}});
        return take(abortIgnoreAnswers, false);
    }
    void Information(const QString& message) override
    {
        shown.push_back({QStringLiteral("Information"), message, {}});
    }
    bool Question(const QString& message, const QString& title) override
    {
        shown.push_back({QStringLiteral("Question"), message, {title}});
        return take(questionAnswers, true);
    }
    QString OpenFileName(const QString& caption, const QString& filter) override
    {
        shown.push_back({QStringLiteral("OpenFileName"), caption, {filter}});
        return take(fileNames, QString());
    }
    void ShowMsgDlg(bool show, const QString& text) override
    {
        busy = show;
        busyLog << (show ? QStringLiteral("show:") + text : QStringLiteral("hide"));
    }

    void Progress(int value, int max) override
    {
        progressLog << QString::number(value) + QLatin1Char('/') + QString::number(max);
    }

    QStringList texts() const
    {
        QStringList out;
        for (const auto& s : shown)
            out << s.text;
        return out;
    }

private:
    template <typename T> static T take(std::deque<T>& q, T fallback)
    {
        if (q.empty())
            return fallback;
        T v = q.front();
        q.pop_front();
        return v;
    }
};

} // namespace rek2::test
