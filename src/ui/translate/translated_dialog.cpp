#include "ui/translate/translated_dialog.h"

#include "ui/translate/form_translator.h"

namespace rek2 {

TranslatedDialog::TranslatedDialog(QWidget* parent, Qt::WindowFlags flags) : QDialog(parent, flags) {}

bool TranslatedDialog::prepareTranslation()
{
    if (!formTranslator_) {
        formTranslator_ = new QuorFormTranslator(this);
        usable_ = formTranslator_->run();
    }
    return usable_;
}

TQuorPrevod* TranslatedDialog::translator() const
{
    return formTranslator_ ? formTranslator_->translator() : nullptr;
}

void TranslatedDialog::setVisible(bool visible)
{
    if (visible && !prepareTranslation())
        return;
    QDialog::setVisible(visible);
}

int TranslatedDialog::exec()
{
    if (!prepareTranslation()) {
        setResult(QDialog::Rejected);
        return QDialog::Rejected;
    }
    return QDialog::exec();
}

} // namespace rek2
