#include "ui/translate/tfquorprevod.h"

#include "base/paths.h"
#include "db/error.h"
#include "translate/tquorprevod.h"
#include "translate/transfer_script.h"
#include "translate/translation_database.h"
#include "translate/translation_settings.h"
#include "translate/translation_store.h"
#include "ui/dialogs.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace rek2 {

namespace ts = translation_store;

namespace {

template <typename W> W* named(W* w, const char* name)
{
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

} // namespace

TFQuorPrevod::TFQuorPrevod(TQuorPrevod& translator, QWidget* parent) : QDialog(parent), t_(translator)
{
    setObjectName(QStringLiteral("FQuorPrevod"));
    setWindowTitle(QStringLiteral("Form translation..."));
    pcPrevod = named(new QTabWidget(this), "pcPrevod");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pcPrevod);
    lStatus = named(new QLabel(this), "lStatus");
    layout->addWidget(lStatus);
    buildTextPage();
    buildLanguagePage();
    buildTextsPage();
    buildTransferPage();
    resize(620, 420);
}

bool TFQuorPrevod::guarded(const std::function<void()>& action)
{
    try {
        action();
        return true;
    } catch (const DbError& e) {
        showDialog(this,
                   {DialogKind::Error, QStringLiteral("Napaka"), e.message(), {QStringLiteral("V redu")}});
        return false;
    }
}

void TFQuorPrevod::status(const QString& text)
{
    lStatus->setText(text);
}

void TFQuorPrevod::buildTextPage()
{
    tsPrevod = named(new QWidget, "tsPrevod");
    pcPrevod->addTab(tsPrevod, QStringLiteral("Translation"));
    auto* grid = new QGridLayout(tsPrevod);
    grid->addWidget(new QLabel(QStringLiteral("Original text")), 0, 0);
    eOrgText = named(new QLineEdit, "eOrgText");
    eOrgText->setReadOnly(true);
    grid->addWidget(eOrgText, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Translation text")), 1, 0);
    eTransText = named(new QLineEdit, "eTransText");
    grid->addWidget(eTransText, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Suggestions (F10)")), 2, 0, Qt::AlignTop);
    lbPredlogi = named(new QListWidget, "lbPredlogi");
    grid->addWidget(lbPredlogi, 2, 1);
    auto* buttons = new QHBoxLayout;
    bSave = named(new QPushButton(QStringLiteral("F9 Save")), "bSave");
    bCancel = named(new QPushButton(QStringLiteral("Esc Cancel")), "bCancel");
    bCancelEnd = named(new QPushButton(QStringLiteral("Cancel and end")), "bCancelEnd");
    buttons->addStretch();
    buttons->addWidget(bSave);
    buttons->addWidget(bCancel);
    buttons->addWidget(bCancelEnd);
    grid->addLayout(buttons, 3, 0, 1, 2);
    bSave->setAutoDefault(false);

    connect(bSave, &QPushButton::clicked, this, &TFQuorPrevod::bSaveClick);
    connect(bCancel, &QPushButton::clicked, this, &TFQuorPrevod::bCancelClick);
    connect(bCancelEnd, &QPushButton::clicked, this, &TFQuorPrevod::bCancelEndClick);
    connect(new QShortcut(QKeySequence(Qt::Key_F9), this), &QShortcut::activated, this,
            &TFQuorPrevod::bSaveClick);
    connect(new QShortcut(QKeySequence(Qt::Key_F10), this), &QShortcut::activated, this,
            &TFQuorPrevod::takeSuggestion);
    connect(lbPredlogi, &QListWidget::itemDoubleClicked, this, &TFQuorPrevod::takeSuggestion);
    connect(eTransText, &QLineEdit::returnPressed, this, &TFQuorPrevod::bSaveClick);
}

void TFQuorPrevod::buildLanguagePage()
{
    tsJezik = named(new QWidget, "tsJezik");
    pcPrevod->addTab(tsJezik, QStringLiteral("Translation language"));
    auto* grid = new QGridLayout(tsJezik);
    lbJeziki = named(new QListWidget, "lbJeziki");
    grid->addWidget(lbJeziki, 0, 0, 6, 1);
    grid->addWidget(new QLabel(QStringLiteral("Code")), 0, 1);
    eKoda = named(new QLineEdit, "eKoda");
    eKoda->setMaxLength(10);
    grid->addWidget(eKoda, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Description")), 1, 1);
    eOpis = named(new QLineEdit, "eOpis");
    eOpis->setMaxLength(100);
    grid->addWidget(eOpis, 1, 2);
    auto* buttons = new QHBoxLayout;
    bNew = named(new QPushButton(QStringLiteral("New")), "bNew");
    bUpdate = named(new QPushButton(QStringLiteral("Update")), "bUpdate");
    bInsert = named(new QPushButton(QStringLiteral("Insert")), "bInsert");
    buttons->addWidget(bNew);
    buttons->addWidget(bUpdate);
    buttons->addWidget(bInsert);
    grid->addLayout(buttons, 2, 1, 1, 2);
    cbTranslate = named(new QCheckBox(QStringLiteral("Start program translation")), "cbTranslate");
    cbWriteMode = named(new QCheckBox(QStringLiteral("Translation write mode")), "cbWriteMode");
    grid->addWidget(cbTranslate, 3, 1, 1, 2);
    grid->addWidget(cbWriteMode, 4, 1, 1, 2);
    grid->setRowStretch(5, 1);
    grid->setColumnStretch(2, 1);

    connect(bNew, &QPushButton::clicked, this, &TFQuorPrevod::bNewClick);
    connect(bUpdate, &QPushButton::clicked, this, &TFQuorPrevod::bUpdateClick);
    connect(bInsert, &QPushButton::clicked, this, &TFQuorPrevod::bInsertClick);
    connect(lbJeziki, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row < 0)
            return;
        const QString line = lbJeziki->item(row)->text();
        eKoda->setText(line.section(QStringLiteral(" - "), 0, 0));
        eOpis->setText(line.section(QStringLiteral(" - "), 1));
    });
    connect(cbTranslate, &QCheckBox::toggled, this, &TFQuorPrevod::settingsChanged);
    connect(cbWriteMode, &QCheckBox::toggled, this, &TFQuorPrevod::settingsChanged);
}

void TFQuorPrevod::buildTextsPage()
{
    tsForma = named(new QWidget, "tsForma");
    pcPrevod->addTab(tsForma, QStringLiteral("Form texts"));
    auto* box = new QVBoxLayout(tsForma);
    auto* choice = new QHBoxLayout;
    rbUntranslated = named(new QRadioButton(QStringLiteral("Untranslated")), "rbUntranslated");
    rbTranslated = named(new QRadioButton(QStringLiteral("Translated")), "rbTranslated");
    rbUntranslated->setChecked(true);
    choice->addWidget(rbUntranslated);
    choice->addWidget(rbTranslated);
    choice->addStretch();
    box->addLayout(choice);
    tblTexts = named(new QTableWidget(0, 3), "tblTexts");
    tblTexts->setHorizontalHeaderLabels(
        {QStringLiteral("Name"), QStringLiteral("Original text"), QStringLiteral("Translation text")});
    tblTexts->horizontalHeader()->setStretchLastSection(true);
    tblTexts->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblTexts->setSelectionMode(QAbstractItemView::SingleSelection);
    tblTexts->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblTexts->verticalHeader()->hide();
    box->addWidget(tblTexts);
    auto* buttons = new QHBoxLayout;
    bTranslate = named(new QPushButton(QStringLiteral("Translate")), "bTranslate");
    bClear = named(new QPushButton(QStringLiteral("Clear translat.")), "bClear");
    bTransferManager =
        named(new QPushButton(QStringLiteral("Transfer translations manager")), "bTransferManager");
    buttons->addWidget(bTranslate);
    buttons->addWidget(bClear);
    buttons->addStretch();
    buttons->addWidget(bTransferManager);
    box->addLayout(buttons);

    connect(rbUntranslated, &QRadioButton::toggled, this, &TFQuorPrevod::refreshTexts);
    connect(bTranslate, &QPushButton::clicked, this, &TFQuorPrevod::bTranslateClick);
    connect(tblTexts, &QTableWidget::cellDoubleClicked, this, &TFQuorPrevod::bTranslateClick);
    connect(bClear, &QPushButton::clicked, this, &TFQuorPrevod::bClearClick);
    connect(bTransferManager, &QPushButton::clicked, this, [this] { pcPrevod->setCurrentWidget(tsPrenos); });
}

void TFQuorPrevod::buildTransferPage()
{
    tsPrenos = named(new QWidget, "tsPrenos");
    pcPrevod->addTab(tsPrenos, QStringLiteral("Transfer translations manager"));
    auto* grid = new QGridLayout(tsPrenos);
    auto* command = new QGroupBox(QStringLiteral("Command"));
    auto* commandBox = new QVBoxLayout(command);
    rbTransfer = named(new QRadioButton(QStringLiteral("TRANSFER TRANSLATIONS")), "rbTransfer");
    rbDelete = named(new QRadioButton(QStringLiteral("DELETE TRANSLATIONS")), "rbDelete");
    rbTransfer->setChecked(true);
    commandBox->addWidget(rbTransfer);
    commandBox->addWidget(rbDelete);
    auto* scope = new QGroupBox(QStringLiteral("Forms"));
    auto* scopeBox = new QVBoxLayout(scope);
    rbAllForms = named(new QRadioButton(QStringLiteral("ALL FORMS")), "rbAllForms");
    rbCurrentForm = named(new QRadioButton(QStringLiteral("CURRENT FORM")), "rbCurrentForm");
    rbCurrentForm->setChecked(true);
    scopeBox->addWidget(rbAllForms);
    scopeBox->addWidget(rbCurrentForm);
    grid->addWidget(command, 0, 0);
    grid->addWidget(scope, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("SQL script")), 1, 0);
    eScript = named(new QLineEdit(QStringLiteral("Translations.sql")), "eScript");
    grid->addWidget(eScript, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Folder")), 2, 0);
    eFolder = named(new QLineEdit(installationFolder()), "eFolder");
    grid->addWidget(eFolder, 2, 1);
    bGenerate = named(new QPushButton(QStringLiteral("Generate")), "bGenerate");
    grid->addWidget(bGenerate, 3, 1, Qt::AlignRight);
    grid->setRowStretch(4, 1);
    connect(bGenerate, &QPushButton::clicked, this, &TFQuorPrevod::bGenerateClick);
}

QString TFQuorPrevod::askText(const QString& key, const QString& original, bool* endAsking)
{
    key_ = key;
    original_ = original;
    saved_.clear();
    endAsking_ = false;
    asking_ = true;
    eOrgText->setText(original);
    eTransText->clear();
    lbPredlogi->clear();
    guarded([&] { lbPredlogi->addItems(ts::suggestions(t_.database().open(true), original, t_.Language)); });
    status(t_.formName() + QStringLiteral(": ") + key);
    pcPrevod->setCurrentWidget(tsPrevod);
    eTransText->setFocus();
    exec();
    asking_ = false;
    if (endAsking)
        *endAsking = endAsking_;
    return saved_;
}

void TFQuorPrevod::showTexts()
{
    refreshTexts();
    pcPrevod->setCurrentWidget(tsForma);
}

void TFQuorPrevod::showSettings()
{
    refreshLanguages();
    pcPrevod->setCurrentWidget(tsJezik);
}

void TFQuorPrevod::takeSuggestion()
{
    QListWidgetItem* item = lbPredlogi->currentItem();
    if (!item && lbPredlogi->count())
        item = lbPredlogi->item(0);
    if (item)
        eTransText->setText(item->text());
}

void TFQuorPrevod::bSaveClick()
{
    if (pcPrevod->currentWidget() != tsPrevod || key_.isEmpty())
        return;
    const QString text = eTransText->text();
    if (text.trimmed().isEmpty()) {
        status(QStringLiteral("Prevod je prazen."));
        return;
    }
    const bool ok = guarded([&] {
        if (t_.formId().isEmpty())
            return;
        ts::saveTranslation(t_.database().open(true), t_.formId(), key_, original_, t_.Language, text);
        t_.rememberTranslation(key_, text);
    });
    if (!ok)
        return;
    saved_ = text;
    if (asking_) {
        accept();
    } else {
        key_.clear();
        showTexts();
    }
}

void TFQuorPrevod::bCancelClick()
{
    if (asking_)
        reject();
    else
        showTexts();
}

void TFQuorPrevod::bCancelEndClick()
{
    endAsking_ = true;
    if (asking_)
        reject();
    else
        close();
}

void TFQuorPrevod::refreshLanguages()
{
    lbJeziki->clear();
    guarded([&] {
        for (const ts::Language& l : ts::languages(t_.database().open(true)))
            lbJeziki->addItem(l.code + QStringLiteral(" - ") + l.description);
    });
    eKoda->setText(t_.Language);
    eOpis->setText(t_.LanguageText);
    const QSignalBlocker a(cbTranslate), b(cbWriteMode);
    const TranslationSettings s = readTranslationSettings(translationSettingsPath());
    cbTranslate->setChecked(s.translate);
    cbWriteMode->setChecked(s.writeMode);
}

void TFQuorPrevod::bNewClick()
{
    eKoda->clear();
    eOpis->clear();
    eKoda->setFocus();
}

void TFQuorPrevod::bInsertClick()
{
    const QString code = eKoda->text().trimmed().toUpper();
    if (code.isEmpty()) {
        status(QStringLiteral("Koda jezika je obvezna."));
        return;
    }
    if (guarded([&] { ts::insertLanguage(t_.database().open(true), code, eOpis->text().trimmed()); })) {
        t_.Language = code;
        t_.LanguageText = eOpis->text().trimmed();
        settingsChanged();
        refreshLanguages();
    }
}

void TFQuorPrevod::bUpdateClick()
{
    const QString code = eKoda->text().trimmed().toUpper();
    if (code.isEmpty()) {
        status(QStringLiteral("Koda jezika je obvezna."));
        return;
    }
    if (guarded([&] { ts::updateLanguage(t_.database().open(true), code, eOpis->text().trimmed()); })) {
        t_.Language = code;
        t_.LanguageText = eOpis->text().trimmed();
        settingsChanged();
        refreshLanguages();
    }
}

void TFQuorPrevod::settingsChanged()
{
    // Saved where start-up reads them, so the next dialog follows at once.
    TranslationSettings s = readTranslationSettings(translationSettingsPath());
    s.language = t_.Language;
    s.translate = cbTranslate->isChecked();
    s.writeMode = cbWriteMode->isChecked();
    QString error;
    if (!saveTranslationSettings(translationSettingsPath(), s, &error))
        showDialog(this, {DialogKind::Error, QStringLiteral("Napaka"), error, {QStringLiteral("V redu")}});
    else
        status(QStringLiteral("Nastavitve so shranjene v ") + translationSettingsPath());
}

void TFQuorPrevod::refreshTexts()
{
    tblTexts->setRowCount(0);
    if (t_.formId().isEmpty())
        return;
    guarded([&] {
        const auto rows =
            ts::formTextRows(t_.database().open(true), t_.formId(), t_.Language, rbTranslated->isChecked());
        tblTexts->setRowCount(int(rows.size()));
        for (int r = 0; r < rows.size(); ++r) {
            tblTexts->setItem(r, 0, new QTableWidgetItem(rows[r].name));
            tblTexts->setItem(r, 1, new QTableWidgetItem(rows[r].original));
            tblTexts->setItem(r, 2,
                              new QTableWidgetItem(rows[r].translated ? rows[r].translation : QString()));
        }
    });
    status(t_.formName() + QStringLiteral(": %1").arg(tblTexts->rowCount()));
}

void TFQuorPrevod::bTranslateClick()
{
    const int row = tblTexts->currentRow();
    if (row < 0)
        return;
    key_ = tblTexts->item(row, 0)->text();
    original_ = tblTexts->item(row, 1)->text();
    eOrgText->setText(original_);
    eTransText->setText(tblTexts->item(row, 2)->text());
    lbPredlogi->clear();
    guarded([&] { lbPredlogi->addItems(ts::suggestions(t_.database().open(true), original_, t_.Language)); });
    pcPrevod->setCurrentWidget(tsPrevod);
    eTransText->setFocus();
}

void TFQuorPrevod::bClearClick()
{
    const int row = tblTexts->currentRow();
    if (row < 0)
        return;
    const QString key = tblTexts->item(row, 0)->text();
    if (guarded([&] { ts::clearTranslation(t_.database().open(true), t_.formId(), key, t_.Language); }))
        refreshTexts();
}

void TFQuorPrevod::bGenerateClick()
{
    TransferRequest r;
    r.deleteTranslations = rbDelete->isChecked();
    r.allForms = rbAllForms->isChecked();
    r.formName = t_.formName();
    r.programName = t_.ProgramName;
    r.scriptName =
        eScript->text().trimmed().isEmpty() ? QStringLiteral("Translations.sql") : eScript->text().trimmed();
    r.folder = eFolder->text().trimmed();
    QString error;
    bool ok = false;
    if (!guarded([&] { ok = writeTransfer(t_.database().open(true), r, &error); }))
        return;
    if (!ok) {
        showDialog(this, {DialogKind::Error, QStringLiteral("Napaka"), error, {QStringLiteral("V redu")}});
        return;
    }
    status(QStringLiteral("Ukazi so zapisani v ") + r.folder);
}

} // namespace rek2
