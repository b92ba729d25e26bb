#include "ui/translate/form_translator.h"

#include "db/error.h"
#include "translate/tquorprevod.h"
#include "translate/translation_settings.h"
#include "ui/dialogs.h"
#include "ui/translate/form_translation.h"
#include "ui/translate/tfquorprevod.h"

#include <QElapsedTimer>
#include <QShortcut>
#include <QWidget>

namespace rek2 {

namespace {

void showError(QWidget* parent, const QString& text)
{
    showDialog(parent, {DialogKind::Error, QStringLiteral("Napaka"), text, {QStringLiteral("V redu")}});
}

} // namespace

bool translateDialog(QWidget* form)
{
    if (form->findChild<QuorFormTranslator*>(QString(), Qt::FindDirectChildrenOnly))
        return true;
    return (new QuorFormTranslator(form))->run();
}

QuorFormTranslator::QuorFormTranslator(QWidget* form) : QObject(form), form_(form) {}

QuorFormTranslator::~QuorFormTranslator() = default;

bool QuorFormTranslator::run()
{
    designTag_ = controlTag(form_);
    translator_ = std::make_unique<TQuorPrevod>(translationFormName(form_));
    try {
        translator_->InitTranslationData();
        if (translator_->Translation)
            translateNow();
    } catch (const DbError& e) {
        showError(form_, e.message());
        return false;
    }
    return true;
}

void QuorFormTranslator::translateNow()
{
    TQuorPrevod& t = *translator_;
    QElapsedTimer timer;
    timer.start();
    t.SetFormRecord(); // an unreachable database stops the form here
    if (t.WriteMode)
        installWriteModeShortcuts();
    t.onAskTranslation = [this, &t](const QString& key, const QString& original) {
        TFQuorPrevod manager(t, form_);
        bool endAsking = false;
        const QString answer = manager.askText(key, original, &endAsking);
        if (endAsking)
            t.OnlyCreateTranslations = true;
        return answer;
    };
    t.BeginFormTranslation();
    try {
        FormTranslation(form_, t);
    } catch (const DbError& e) {
        showError(form_, QStringLiteral("Error translating form in application.\n\n") + e.message());
    }
    t.EndFormTranslation(timer.elapsed());
}

void QuorFormTranslator::installWriteModeShortcuts()
{
    if (shortcuts_)
        return;
    shortcuts_ = true;
    const auto add = [this](Qt::Key key, void (QuorFormTranslator::*handler)()) {
        auto* s = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::ALT | key), form_);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, handler);
    };
    add(Qt::Key_M, &QuorFormTranslator::OpenTranslationManagerExecute);
    add(Qt::Key_X, &QuorFormTranslator::SwitchTranslationOff);
    add(Qt::Key_T, &QuorFormTranslator::TranslateAgain);
    add(Qt::Key_N, &QuorFormTranslator::Settings);
}

void QuorFormTranslator::OpenTranslationManagerExecute()
{
    if (!translator_)
        return;
    TFQuorPrevod manager(*translator_, form_);
    manager.showTexts();
    manager.exec();
}

void QuorFormTranslator::Settings()
{
    if (!translator_)
        return;
    TFQuorPrevod manager(*translator_, form_);
    manager.showSettings();
    manager.exec();
}

void QuorFormTranslator::TranslateAgain()
{
    if (!translator_ || !translator_->Translation)
        return;
    setControlTag(form_, designTag_);
    try {
        translateNow();
    } catch (const DbError& e) {
        showError(form_, e.message());
    }
}

void QuorFormTranslator::SwitchTranslationOff()
{
    if (!translator_)
        return;
    translator_->Translation = false;
    translator_->WriteMode = false;
    TranslationSettings s = readTranslationSettings(translationSettingsPath());
    s.translate = false;
    s.writeMode = false;
    QString error;
    if (!saveTranslationSettings(translationSettingsPath(), s, &error))
        showError(form_, error);
}

} // namespace rek2
