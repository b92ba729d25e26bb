#pragma once
#include "base/settings.h"

#include <QString>

namespace rek2 {

// The INI section every installation setting lives in.
inline QString iniSection()
{
    return QStringLiteral("Splošno");
}

// Reads section "Splošno" of `iniPath` into `s`; folders are normalised
// against `homeFolder` and created when missing (silently when that fails).
// Returns false, leaving `s` untouched, when the file does not exist: the
// caller shows "Manjka .ini datoteka!".
bool readIniSettings(const QString& iniPath, const QString& homeFolder, Settings& s);

// Writes one key of section "Splošno" (a missing file is created).
// False with a Slovenian message in `error` when the file cannot be written.
bool writeIniSetting(const QString& iniPath, const QString& key, const QString& value,
                     QString* error = nullptr);

} // namespace rek2
