#include "ui/translate/dialog_translator.h"

#include "ui/grid/dialog_base.h"
#include "ui/translate/form_translator.h"

namespace rek2 {

namespace {

// The dialog base builds its controls, applies the colour scheme and then
// hands the finished form to this translator.
class QuorDialogTranslator : public FormTranslator
{
public:
    void translate(QWidget* form) override { translateDialog(form); }
};

} // namespace

void installDialogTranslator()
{
    TTranslatable::setTranslatorFactory(
        [](QWidget*) -> std::unique_ptr<FormTranslator> { return std::make_unique<QuorDialogTranslator>(); });
}

} // namespace rek2
