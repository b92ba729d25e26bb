#pragma once
#include <QString>

namespace rek2 {

// The translator's switches, kept in "QuorTrans.ini" beside the executable,
// section "QUOR". Without the file every switch is off and the language is
// "SLO", so the dialogs keep their own texts.
struct TranslationSettings
{
    QString language = QStringLiteral("SLO"); // "LANGUAGE"
    bool writeMode = false;                   // "WRITE.TRANS"
    bool translate = false;                   // "TRANSLATE"
    bool autoCreate = false;                  // "AUTOCREATE"
};

// The files of the translator, all in the installation folder.
QString translationSettingsPath();    // QuorTrans.ini
QString translationMaintenancePath(); // QuorTranslation.ini
QString translationTimeLogPath();     // PrevodForme.Log
// "LNG/" + program + "_" + language + ".lng"
QString translationCachePath(const QString& programName, const QString& language);

// Reads the settings; a missing file or key gives the default. Switches are
// whole numbers (0 off, anything else on), as the profile functions write
// them; "true"/"false" are accepted as well.
TranslationSettings readTranslationSettings(const QString& path);

// Saves "LANGUAGE", "WRITE.TRANS" and "TRANSLATE" into the file start-up
// reads, keeping every other line. False with a Slovenian message in `error`.
bool saveTranslationSettings(const QString& path, const TranslationSettings& settings, QString* error);

} // namespace rek2
