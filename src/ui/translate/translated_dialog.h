#pragma once
#include <QDialog>

namespace rek2 {

class QuorFormTranslator;
class TQuorPrevod;

// A plain dialog that owns a text translator (QuorFormTranslator). The
// translator is made when the dialog is first shown, when the derived class
// has built its controls (or earlier through prepareTranslation()). When
// translation is on and the translation database cannot be reached, the
// error is shown and the dialog does not open: show() shows nothing and
// exec() returns Rejected at once.
class TranslatedDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TranslatedDialog(QWidget* parent = nullptr, Qt::WindowFlags flags = {});

    bool prepareTranslation();
    TQuorPrevod* translator() const;

    void setVisible(bool visible) override;
    int exec() override;

private:
    QuorFormTranslator* formTranslator_ = nullptr;
    bool usable_ = true;
};

} // namespace rek2
