#pragma once
#include <QString>

namespace rek2 {

// Display settings every grid takes at start: fonts, row height and whether
// a click selects the whole row. Read once per program from section "QUOR"
// of "NEWLOOK.INI" in the installation folder (its name matched without
// regard to case); this platform has no system-wide WIN.INI, so the font
// keys that lived there are read from the same section.
struct GridSettings
{
    QString FontName = QStringLiteral("Arial CE");
    int FontSize = 8;
    int LineHeight = 18;
    QString TitleFontName = QStringLiteral("Arial CE");
    int TitleFontSize = 8;
    bool RowSelect = true; // off only when GridRowSelect is exactly "F"

    // Reads `folder` (ending with a separator); defaults when there is no file.
    static GridSettings read(const QString& folder);
    // The settings of this run (read from the installation folder once).
    static const GridSettings& current();
};

} // namespace rek2
