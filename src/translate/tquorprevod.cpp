#include "translate/tquorprevod.h"

#include "db/dataset.h"
#include "db/error.h"
#include "db/session.h"
#include "translate/translation_cache.h"
#include "translate/translation_database.h"
#include "translate/translation_settings.h"

#include <QFile>
#include <QTime>

namespace rek2 {

namespace ts = translation_store;

namespace {

const QString kDtChange = QStringLiteral("DT_CHANGE");

// "HH:NN:SS:ZZZ" of an elapsed time.
QString elapsedText(qint64 ms)
{
    return QStringLiteral("%1:%2:%3:%4")
        .arg(ms / 3600000, 2, 10, QLatin1Char('0'))
        .arg(ms / 60000 % 60, 2, 10, QLatin1Char('0'))
        .arg(ms / 1000 % 60, 2, 10, QLatin1Char('0'))
        .arg(ms % 1000, 3, 10, QLatin1Char('0'));
}

} // namespace

TQuorPrevod::TQuorPrevod(QString formName)
    : formName_(std::move(formName)), db_(std::make_unique<TranslationDatabase>(DatabaseName))
{
}

TQuorPrevod::~TQuorPrevod() = default;

void TQuorPrevod::ReadSettings()
{
    const TranslationSettings s = readTranslationSettings(translationSettingsPath());
    Language = s.language;
    WriteMode = s.writeMode;
    Translation = s.translate;
    AutoCreateTranslations = s.autoCreate;
}

void TQuorPrevod::InitTranslationData()
{
    ReadSettings();
    if (db_->connectionName() != DatabaseName)
        db_ = std::make_unique<TranslationDatabase>(DatabaseName);
    const bool active = Translation || WriteMode;
    try {
        maintenance_ = runTranslationMaintenance(translationMaintenancePath(), *db_, ProgramName);
    } catch (const DbError&) {
        // With translation off the dialog keeps its own texts whatever the
        // translation database does; the entries stay for the next start.
        if (active)
            throw;
    }
    if (maintenance_.importedAny() && onInitTranslation)
        onInitTranslation();

    LanguageText.clear();
    try {
        if (active)
            db_->open(true);
        if (db_->exists())
            LanguageText = ts::languageDescription(db_->open(false), Language);
    } catch (const DbError&) {
        if (active)
            throw;
    }
    if (!active)
        db_->close();
}

void TQuorPrevod::SetFormRecord()
{
    cache_ = std::make_unique<TranslationCache>(translationCachePath(ProgramName, Language));
    Session& s = db_->open(true);
    formId_.clear();
    texts_ = {};
    textsLoaded_ = false;
    cacheValid_ = false;

    std::optional<ts::FormRow> form = ts::findForm(s, formName_, ProgramName);
    if (!form && recordsTexts())
        form = ts::insertForm(s, formName_, ProgramName);
    if (!form)
        return;
    formId_ = form->id;
    QString dt = form->dtChange;
    if (dt.isEmpty())
        dt = ts::touchForm(s, formId_);
    const QString cached = cache_->value(formName_, kDtChange);
    cacheValid_ = !cached.isEmpty() && cached == dt;
    // Write mode must know which texts already have a row, so it reads them
    // even from a valid cache's form.
    if (!cacheValid_ || recordsTexts()) {
        texts_ = ts::loadFormTexts(s, formId_, Language);
        textsLoaded_ = true;
    }
    if (!cacheValid_) {
        cache_->replaceForm(formName_, texts_.translated, dt);
        cacheValid_ = true;
    }
}

void TQuorPrevod::BeginFormTranslation()
{
    savedWriteMode_ = WriteMode;
    savedOnlyCreate_ = OnlyCreateTranslations;
    if (AutoCreateTranslations) {
        WriteMode = true;
        OnlyCreateTranslations = true;
    }
}

void TQuorPrevod::EndFormTranslation(qint64 elapsedMs)
{
    WriteMode = savedWriteMode_;
    OnlyCreateTranslations = savedOnlyCreate_;
    if (cache_)
        cache_->save();
    QFile log(translationTimeLogPath());
    if (log.open(QIODevice::WriteOnly | QIODevice::Append))
        log.write((formName_ + u'=' + elapsedText(elapsedMs) + QStringLiteral("\r\n")).toUtf8());
}

QString TQuorPrevod::GetTranslation(const QString& key, const QString& original)
{
    if (!Translation)
        return original;
    const QString loaded = texts_.translated.value(key);
    if (!loaded.isEmpty())
        return loaded;
    if (cacheValid_ && cache_) {
        const QString cached = cache_->value(formName_, key);
        if (!cached.trimmed().isEmpty())
            return cached;
    }
    if (formId_.isEmpty())
        return original;
    Session& s = db_->open(true);
    const QString found = ts::lookupTranslation(s, formId_, key, Language);
    if (!found.isEmpty()) {
        if (cache_)
            cache_->setValue(formName_, key, found);
        return found;
    }
    if (!recordsTexts() || original.isEmpty())
        return original;
    const bool known =
        textsLoaded_ ? texts_.withData.contains(key) : ts::hasDataRow(s, formId_, key, Language);
    if (known)
        return original;
    ts::recordOriginal(s, formId_, key, original, Language);
    texts_.withData.insert(key);
    texts_.originals.insert(key);
    if (OnlyCreateTranslations || !onAskTranslation)
        return original;
    const QString answer = onAskTranslation(key, original);
    if (answer.isEmpty())
        return original;
    rememberTranslation(key, answer);
    return answer;
}

void TQuorPrevod::rememberTranslation(const QString& key, const QString& text)
{
    texts_.translated.insert(key, text);
    if (cache_) {
        cache_->setValue(formName_, key, text);
        cache_->save();
    }
}

void TQuorPrevod::UpdateAllLocalTranslation()
{
    if (formId_.isEmpty())
        return;
    DataSet d;
    d.SetSession(&db_->open(true));
    d.SQL << QStringLiteral("SELECT NAME, ORGTEXT FROM PREVOD_ORG WHERE ID_PREVODA = :ID ORDER BY NAME");
    d.DeclareAndSet(QStringLiteral("ID"), VarType::String, formId_);
    d.Open();
    for (int r = 0; r < d.RecordCount(); ++r)
        GetTranslation(d.Value(r, 0).toString(), d.Value(r, 1).toString());
    if (cache_)
        cache_->save();
}

void TQuorPrevod::BrisiTitlePrevodForme()
{
    if (formId_.isEmpty())
        return;
    ts::deleteTitle(db_->open(true), formId_);
    texts_.translated.remove(QStringLiteral("Title"));
    texts_.withData.remove(QStringLiteral("Title"));
}

} // namespace rek2
