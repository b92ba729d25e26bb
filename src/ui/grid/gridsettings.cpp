#include "ui/grid/gridsettings.h"
#include "base/inifile.h"
#include "base/paths.h"

#include <QDir>

namespace rek2 {

GridSettings GridSettings::read(const QString& folder)
{
    GridSettings g;
    QString file;
    for (const QString& name : QDir(folder).entryList(QDir::Files))
        if (name.compare(QStringLiteral("NEWLOOK.INI"), Qt::CaseInsensitive) == 0)
            file = QDir(folder).filePath(name);
    if (file.isEmpty())
        return g;
    const IniFile ini(file);
    const QString sec = QStringLiteral("QUOR");
    g.FontName = ini.value(sec, QStringLiteral("FontName"), g.FontName);
    g.FontSize = ini.intValue(sec, QStringLiteral("FontSize"), g.FontSize);
    g.LineHeight = ini.intValue(sec, QStringLiteral("LineHeight"), g.LineHeight);
    g.TitleFontName = ini.value(sec, QStringLiteral("TitleFontName"), g.TitleFontName);
    g.TitleFontSize = ini.intValue(sec, QStringLiteral("TitleFontSize"), g.TitleFontSize);
    g.RowSelect = ini.value(sec, QStringLiteral("GridRowSelect"), QStringLiteral("T")) != QStringLiteral("F");
    return g;
}

const GridSettings& GridSettings::current()
{
    static const GridSettings g = read(installationFolder());
    return g;
}

} // namespace rek2
