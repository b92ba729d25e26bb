#include "translate/translation_settings.h"

#include "base/inifile.h"
#include "base/paths.h"

namespace rek2 {

namespace {

const QString kSection = QStringLiteral("QUOR");

bool readSwitch(const IniFile& ini, const QString& key, bool fallback)
{
    const QString v = ini.value(kSection, key).trimmed();
    if (v.isEmpty())
        return fallback;
    bool ok = false;
    const int n = v.toInt(&ok);
    if (ok)
        return n != 0;
    if (v.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (v.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    return fallback;
}

} // namespace

QString translationSettingsPath()
{
    return installationFolder() + QStringLiteral("QuorTrans.ini");
}

QString translationMaintenancePath()
{
    return installationFolder() + QStringLiteral("QuorTranslation.ini");
}

QString translationTimeLogPath()
{
    return installationFolder() + QStringLiteral("PrevodForme.Log");
}

QString translationCachePath(const QString& programName, const QString& language)
{
    return installationFolder() + QStringLiteral("LNG/") + programName + u'_' + language +
           QStringLiteral(".lng");
}

TranslationSettings readTranslationSettings(const QString& path)
{
    TranslationSettings s;
    const IniFile ini(path);
    if (!ini.exists())
        return s;
    const QString language = ini.value(kSection, QStringLiteral("LANGUAGE")).trimmed();
    if (!language.isEmpty())
        s.language = language;
    s.writeMode = readSwitch(ini, QStringLiteral("WRITE.TRANS"), false);
    s.translate = readSwitch(ini, QStringLiteral("TRANSLATE"), false);
    s.autoCreate = readSwitch(ini, QStringLiteral("AUTOCREATE"), false);
    return s;
}

bool saveTranslationSettings(const QString& path, const TranslationSettings& settings, QString* error)
{
    IniFile ini(path);
    auto flag = [](bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); };
    return ini.writeValue(kSection, QStringLiteral("LANGUAGE"), settings.language, error) &&
           ini.writeValue(kSection, QStringLiteral("WRITE.TRANS"), flag(settings.writeMode), error) &&
           ini.writeValue(kSection, QStringLiteral("TRANSLATE"), flag(settings.translate), error);
}

} // namespace rek2
