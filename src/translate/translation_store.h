#pragma once
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

namespace rek2 {

class Session;

// The statements of the translation tables. Form names and program names
// match upper-cased and right-trimmed; an empty program name is NULL. Keys
// (ID_PREVODA, ID_PREVOD_ORG, ID_PREVOD_DATA) are handed round as text, as
// the key counters make them. Every function throws DbError; the ones that
// write open their own transaction unless the session already has one.
namespace translation_store {

struct FormRow
{
    QString id;
    QString dtChange; // empty when never set
};

std::optional<FormRow> findForm(Session& s, const QString& formName, const QString& programName);
// Inserts the form with a new key and the current time as DT_CHANGE.
FormRow insertForm(Session& s, const QString& formName, const QString& programName);
// Sets DT_CHANGE to now (always a value different from the one it had).
QString touchForm(Session& s, const QString& formId);

// The database's current time as DT_CHANGE holds it; `previous` is never
// returned again, so two changes in one millisecond still move the value.
QString changeTime(const QString& previous = QString());

// The texts of a form for a language: `translated` holds the texts marked
// translated ('Y'), `withData` every key that has a PREVOD_DATA row for the
// language, `originals` every key with a PREVOD_ORG row.
struct FormTexts
{
    QHash<QString, QString> translated;
    QSet<QString> withData;
    QSet<QString> originals;
};
FormTexts loadFormTexts(Session& s, const QString& formId, const QString& language);

// TRANSLTEXT for the form, key and language with TRANSLATED = 'Y'; empty when none.
QString lookupTranslation(Session& s, const QString& formId, const QString& key, const QString& language);
bool hasDataRow(Session& s, const QString& formId, const QString& key, const QString& language);

// Write mode: the PREVOD_ORG row (when missing) and a PREVOD_DATA row with
// TRANSLATED 'N' and the original as its text, with new keys, in one
// transaction; DT_CHANGE moves. Nothing when the data row already exists.
void recordOriginal(Session& s, const QString& formId, const QString& key, const QString& original,
                    const QString& language);
// Stores a translation ('Y'), creating the rows it needs; DT_CHANGE moves.
void saveTranslation(Session& s, const QString& formId, const QString& key, const QString& original,
                     const QString& language, const QString& text);
// Back to untranslated: the original as text, TRANSLATED 'N'; DT_CHANGE moves.
void clearTranslation(Session& s, const QString& formId, const QString& key, const QString& language);
// Deletes the stored "Title" of a form for every language.
void deleteTitle(Session& s, const QString& formId);

// Translations into `language` of texts whose original equals `original`
// (any form), most frequent first, without repeats.
QStringList suggestions(Session& s, const QString& original, const QString& language);

struct TextRow
{
    QString name;
    QString original;
    QString translation;
    bool translated = false;
};
// The texts of a form, translated ('Y') or not (no row or 'N'), by key.
QList<TextRow> formTextRows(Session& s, const QString& formId, const QString& language, bool translated);

struct Language
{
    QString code;
    QString description;
};
QList<Language> languages(Session& s);
// OPIS of the language; empty when missing.
QString languageDescription(Session& s, const QString& code);
void insertLanguage(Session& s, const QString& code, const QString& description);
void updateLanguage(Session& s, const QString& code, const QString& description);

struct FormName
{
    QString formName;
    QString programName;
};
QList<FormName> forms(Session& s, const QString& programName);

// Deletes a form's rows from PREVOD_DATA, PREVOD_ORG and PREVOD_FORME; the
// number of forms removed.
int deleteForm(Session& s, const QString& programName, const QString& formName);
void deleteAll(Session& s);

} // namespace translation_store
} // namespace rek2
