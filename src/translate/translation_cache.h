#pragma once
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>

namespace rek2 {

// The local copy of the translations of one program and language: an INI
// file with one section per form name, one key per text key and the key
// "DT_CHANGE" holding the form's change time when it was cached. It is read
// leniently (UTF-8, or Windows-1250 when not valid UTF-8; lines that are not
// "key=value" inside a section are dropped) and written whole as UTF-8, so a
// damaged file only costs one trip to the database. Write failures are
// ignored: the cache is an optimisation, never a reason to stop a dialog.
class TranslationCache
{
public:
    explicit TranslationCache(QString path);

    const QString& path() const { return path_; }
    QString value(const QString& form, const QString& key) const;
    void setValue(const QString& form, const QString& key, const QString& value);
    // Replaces a form's section by `texts` and its change time.
    void replaceForm(const QString& form, const QHash<QString, QString>& texts, const QString& dtChange);

    // Writes the file when something changed; false when it could not.
    bool save();

private:
    struct Section
    {
        QString name;
        QList<QPair<QString, QString>> entries;
    };
    Section& section(const QString& form);
    const Section* findSection(const QString& form) const;

    QString path_;
    QList<Section> sections_;
    bool dirty_ = false;
};

} // namespace rek2
