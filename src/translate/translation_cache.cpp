#include "translate/translation_cache.h"

#include "base/cp1250.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace rek2 {

TranslationCache::TranslationCache(QString path) : path_(std::move(path))
{
    QFile f(path_);
    if (!f.open(QIODevice::ReadOnly))
        return;
    QByteArray bytes = f.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    const QString text = isValidUtf8(bytes) ? QString::fromUtf8(bytes) : fromWindows1250(bytes);
    Section* current = nullptr;
    for (QString line : text.split(u'\n')) {
        line = line.trimmed();
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            current = &section(line.mid(1, line.size() - 2).trimmed());
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (!current || eq <= 0 || line.startsWith(u';'))
            continue;
        current->entries.append({line.left(eq).trimmed(), line.mid(eq + 1)});
    }
    dirty_ = false;
}

TranslationCache::Section& TranslationCache::section(const QString& form)
{
    for (Section& s : sections_)
        if (s.name.compare(form, Qt::CaseInsensitive) == 0)
            return s;
    sections_.append(Section{form, {}});
    return sections_.last();
}

const TranslationCache::Section* TranslationCache::findSection(const QString& form) const
{
    for (const Section& s : sections_)
        if (s.name.compare(form, Qt::CaseInsensitive) == 0)
            return &s;
    return nullptr;
}

QString TranslationCache::value(const QString& form, const QString& key) const
{
    if (const Section* s = findSection(form))
        for (const auto& [k, v] : s->entries)
            if (k.compare(key, Qt::CaseInsensitive) == 0)
                return v;
    return QString();
}

void TranslationCache::setValue(const QString& form, const QString& key, const QString& value)
{
    // A value is one line of the file.
    QString v = value;
    v.replace(QLatin1String("\r"), QString()).replace(u'\n', u' ');
    Section& s = section(form);
    for (auto& entry : s.entries) {
        if (entry.first.compare(key, Qt::CaseInsensitive) == 0) {
            if (entry.second != v) {
                entry.second = v;
                dirty_ = true;
            }
            return;
        }
    }
    s.entries.append({key, v});
    dirty_ = true;
}

void TranslationCache::replaceForm(const QString& form, const QHash<QString, QString>& texts,
                                   const QString& dtChange)
{
    section(form).entries.clear();
    dirty_ = true;
    QStringList keys = texts.keys();
    keys.sort();
    for (const QString& k : keys)
        setValue(form, k, texts.value(k));
    setValue(form, QStringLiteral("DT_CHANGE"), dtChange);
}

bool TranslationCache::save()
{
    if (!dirty_)
        return true;
    QString text;
    for (const Section& s : sections_) {
        text += u'[' + s.name + QStringLiteral("]\r\n");
        for (const auto& [k, v] : s.entries)
            text += k + u'=' + v + QStringLiteral("\r\n");
        text += QStringLiteral("\r\n");
    }
    QDir().mkpath(QFileInfo(path_).absolutePath());
    QSaveFile f(path_);
    const QByteArray bytes = text.toUtf8();
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
        return false;
    dirty_ = false;
    return true;
}

} // namespace rek2
