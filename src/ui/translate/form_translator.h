#pragma once
#include <QObject>
#include <memory>

class QWidget;

namespace rek2 {

class TQuorPrevod;

// The translator of one form, on the widget side: creates the form's
// TQuorPrevod (settings, start-up maintenance, language), translates the
// form when translation is on, and in write mode gives the form the
// shortcuts Ctrl+Shift+Alt+M (translation manager), X (translation and write
// mode off), T (translate again) and N (settings) and asks for each new text
// through the translation manager. Lives as a child of its form.
class QuorFormTranslator : public QObject
{
    Q_OBJECT
public:
    explicit QuorFormTranslator(QWidget* form);
    ~QuorFormTranslator() override;

    // False when the form must not open: translation is on and the
    // translation database cannot be reached (the error was shown). An error
    // while walking the controls is shown as "Error translating form in
    // application." and leaves the form usable.
    bool run();
    TQuorPrevod* translator() const { return translator_.get(); }

    void OpenTranslationManagerExecute();
    void Settings();
    void TranslateAgain();
    void SwitchTranslationOff();

private:
    void translateNow();
    void installWriteModeShortcuts();

    QWidget* form_;
    std::unique_ptr<TQuorPrevod> translator_;
    bool shortcuts_ = false;
    int designTag_ = 0;
};

// Gives `form` its translator (a child QuorFormTranslator) and runs it once;
// the hook for any dialog base: false when the dialog must not open.
bool translateDialog(QWidget* form);

} // namespace rek2
