#pragma once
#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableWidget;

namespace rek2 {

class TQuorPrevod;

// The translation manager ("Form translation..."), opened from a dialog in
// write mode. Pages: one text to translate, the translation language and
// the switches of the settings file, the list of the form's texts, and the
// transfer manager that writes commands for another workstation. It works
// on the translator of the dialog it was opened from; it is never
// translated itself.
class TFQuorPrevod : public QDialog
{
    Q_OBJECT
public:
    explicit TFQuorPrevod(TQuorPrevod& translator, QWidget* parent = nullptr);

    // Asks for the translation of one text and stores it ('Y') on "F9 Save".
    // Returns the saved text, empty on "Esc Cancel"; `endAsking` is set by
    // "Cancel and end" (no more questions for this form).
    QString askText(const QString& key, const QString& original, bool* endAsking);

    void showTexts();    // the form's texts
    void showSettings(); // language and switches

    // Controls, named as the system names them.
    QTabWidget* pcPrevod;
    QWidget* tsPrevod;
    QLineEdit* eOrgText;
    QLineEdit* eTransText;
    QListWidget* lbPredlogi;
    QPushButton* bSave;
    QPushButton* bCancel;
    QPushButton* bCancelEnd;

    QWidget* tsJezik;
    QListWidget* lbJeziki;
    QLineEdit* eKoda;
    QLineEdit* eOpis;
    QPushButton* bNew;
    QPushButton* bUpdate;
    QPushButton* bInsert;
    QCheckBox* cbTranslate;
    QCheckBox* cbWriteMode;

    QWidget* tsForma;
    QRadioButton* rbUntranslated;
    QRadioButton* rbTranslated;
    QTableWidget* tblTexts;
    QPushButton* bTranslate;
    QPushButton* bClear;
    QPushButton* bTransferManager;

    QWidget* tsPrenos;
    QRadioButton* rbTransfer;
    QRadioButton* rbDelete;
    QRadioButton* rbAllForms;
    QRadioButton* rbCurrentForm;
    QLineEdit* eScript;
    QLineEdit* eFolder;
    QPushButton* bGenerate;
    QLabel* lStatus;

    // Handlers (public so tests drive them as a click would).
    void bSaveClick();
    void bCancelClick();
    void bCancelEndClick();
    void bInsertClick();
    void bUpdateClick();
    void bNewClick();
    void settingsChanged();
    void bTranslateClick();
    void bClearClick();
    void bGenerateClick();
    void takeSuggestion();
    void refreshTexts();
    void refreshLanguages();

private:
    void buildTextPage();
    void buildLanguagePage();
    void buildTextsPage();
    void buildTransferPage();
    bool guarded(const std::function<void()>& action);
    void status(const QString& text);

    TQuorPrevod& t_;
    QString key_; // the text being translated
    QString original_;
    QString saved_;
    bool asking_ = false;
    bool endAsking_ = false;
};

} // namespace rek2
