#include "base/settings_ini.h"
#include "base/inifile.h"
#include "base/paths.h"

namespace rek2 {

bool readIniSettings(const QString& iniPath, const QString& homeFolder, Settings& s)
{
    IniFile ini(iniPath);
    if (!ini.exists())
        return false;
    const QString sec = iniSection();
    s.ServerName = ini.value(sec, QStringLiteral("ServerName"));
    s.XMLPathRaw = ini.value(sec, QStringLiteral("XMLPath"));
    // A folder that is not set stays empty (not the root folder): every step
    // that writes files refuses to run without it.
    s.XMLPath =
        normaliseFolder(s.XMLPathRaw.trimmed().isEmpty() ? QString() : s.XMLPathRaw, homeFolder, false);
    if (!s.XMLPath.isEmpty())
        ensureFolder(s.XMLPath);
    s.XMLArhivRaw = ini.value(sec, QStringLiteral("XMLArhiv"));
    s.XMLArhiv =
        normaliseFolder(s.XMLArhivRaw.trimmed().isEmpty() ? QString() : s.XMLArhivRaw, homeFolder, false);
    if (!s.XMLArhiv.isEmpty())
        ensureFolder(s.XMLArhiv);
    s.Debug = ini.intValue(sec, QStringLiteral("Debug"), 0);
    s.OdgovornaOseba = ini.value(sec, QStringLiteral("OdgovornaOseba")).trimmed();
    s.OdgovornaOsebaTel = ini.value(sec, QStringLiteral("OdgovornaOsebaTel")).trimmed();
    s.SfDogDvcOdt = ini.value(sec, QStringLiteral("SfDogDvcOdt")).trimmed();
    s.T2S = ini.intValue(sec, QStringLiteral("T2S"), 0) == 1;
    return true;
}

bool writeIniSetting(const QString& iniPath, const QString& key, const QString& value, QString* error)
{
    IniFile ini(iniPath);
    return ini.writeValue(iniSection(), key, value, error);
}

} // namespace rek2
