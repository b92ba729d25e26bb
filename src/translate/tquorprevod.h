#pragma once
#include "translate/translation_maintenance.h"
#include "translate/translation_store.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <functional>
#include <memory>

namespace rek2 {

class TranslationCache;
class TranslationDatabase;

// The text translator one dialog owns. Created with the dialog, it reads its
// settings ("QuorTrans.ini") and runs the start-up maintenance; when
// translation is on it finds the dialog's texts for the chosen language in
// the translation database or in the local cache, and in write mode it
// records every text that has no row for the language yet. The widget side
// walks the controls and asks GetTranslation for each text.
class TQuorPrevod
{
public:
    explicit TQuorPrevod(QString formName);
    ~TQuorPrevod();
    TQuorPrevod(const TQuorPrevod&) = delete;
    TQuorPrevod& operator=(const TQuorPrevod&) = delete;

    QString Language = QStringLiteral("SLO");
    QString LanguageText; // OPIS of the language, empty when it cannot be read
    QString ProgramName;  // empty in this program
    QString DatabaseName = QStringLiteral("LB");
    bool Translation = false;
    bool WriteMode = false;
    bool AutoCreateTranslations = false;
    bool OnlyCreateTranslations = false;
    int IdFormeConstant = 0;

    std::function<void()> onInitTranslation;                               // after a successful import
    std::function<void(const QString& caption)> onFormPrevod;              // after the caption was set
    std::function<void(const QString& key, const QString& text)> onPrevod; // after each text
    // Write mode: asks a person for the translation of one new text; an
    // empty answer leaves the original.
    std::function<QString(const QString& key, const QString& original)> onAskTranslation;

    // Settings, start-up maintenance and the language description. Throws
    // DbError only when translation or write mode is on and the translation
    // database cannot be reached or the maintenance fails.
    void InitTranslationData();
    // Settings alone (also after the settings page saved them).
    void ReadSettings();

    // Prepares the form: opens the cache, finds the form's key (inserting
    // the form in write mode), loads its texts unless the cache is valid for
    // the form's DT_CHANGE, and refreshes the cache. Throws DbError.
    void SetFormRecord();

    // Around one walk over the form's controls: with AutoCreateTranslations
    // the walk records every text without asking; the end writes the cache
    // and a line "form=HH:NN:SS:ZZZ" into "PrevodForme.Log".
    void BeginFormTranslation();
    void EndFormTranslation(qint64 elapsedMs);

    // The text to show for `key`, whose own text is `original`: the form's
    // loaded translation, else the valid cache's, else the database's
    // translated row (then cached), else the original (recorded in write
    // mode, and asked for unless only-create is on). Throws DbError.
    QString GetTranslation(const QString& key, const QString& original);

    // Walks every stored original of the form through GetTranslation.
    void UpdateAllLocalTranslation();
    // Deletes the stored "Title" translations of the form.
    void BrisiTitlePrevodForme();
    static QString ServerDateFunction() { return QStringLiteral("SYSDATE"); }

    const QString& formName() const { return formName_; }
    const QString& formId() const { return formId_; }
    bool cacheValid() const { return cacheValid_; }
    bool textsFromDatabase() const { return textsLoaded_; }
    TranslationDatabase& database() { return *db_; }
    TranslationCache* cache() { return cache_.get(); }
    const MaintenanceOutcome& maintenance() const { return maintenance_; }

    // After the manager stored a translation: shown at once and cached.
    void rememberTranslation(const QString& key, const QString& text);

private:
    // Auto-create records a form's texts even before the walk forces write mode on.
    bool recordsTexts() const { return WriteMode || AutoCreateTranslations; }

    QString formName_;
    QString formId_;
    std::unique_ptr<TranslationDatabase> db_;
    std::unique_ptr<TranslationCache> cache_;
    translation_store::FormTexts texts_;
    bool textsLoaded_ = false;
    bool cacheValid_ = false;
    bool savedWriteMode_ = false;
    bool savedOnlyCreate_ = false;
    MaintenanceOutcome maintenance_;
};

} // namespace rek2
