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
    s.XMLPath = normaliseFolder(s.XMLPathRaw, homeFolder, true);
    ensureFolder(s.XMLPath);
    s.XMLArhivRaw = ini.value(sec, QStringLiteral("XMLArhiv"));
    s.XMLArhiv = normaliseFolder(s.XMLArhivRaw, homeFolder, true);
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
