#pragma once
#include <QString>

namespace rek2 {

// The installation folder: REK2_HOME when set, else the executable's folder.
// Always ends with "/". The INI file, Log.txt and ImportLog.txt live there.
QString installationFolder();

// "rek2.ini" in the installation folder (shared by the window and the batch command).
QString iniFilePath();

// "Log.txt" in the installation folder.
QString logFilePath();

// Normalises a folder setting (XMLPath, XMLArhiv) against the installation
// folder `homeFolder` (ending with a separator):
// - empty: "/" (the root folder) when `emptyIsRoot`, else stays empty;
// - beginning with "\" (not "\\") or "..\" / "../": relative to `homeFolder`;
// - anything else (an absolute "/srv/xml", a network "\\server\share",
//   a drive "C:\REK") is kept;
// - the result ends with a separator.
// On this platform "\" and "/" both separate folders; the result uses "/".
QString normaliseFolder(const QString& value, const QString& homeFolder, bool emptyIsRoot);

// The message for a folder setting that is not set (empty or missing in the
// INI file, or no INI file): every step that writes files refuses to run
// with it. `caption` is the parameters tab's label ("XML pot"), `key` the
// INI key ("XMLPath").
QString folderNotSetMessage(const QString& caption, const QString& key);

// Creates the folder when it is missing (one level, like the original
// installation did). True when it exists afterwards.
bool ensureFolder(const QString& folder);

} // namespace rek2
