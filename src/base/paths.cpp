#include "base/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace rek2 {

QString installationFolder()
{
    QString folder = qEnvironmentVariable("REK2_HOME");
    if (folder.isEmpty())
        folder = QCoreApplication::applicationDirPath();
    folder = QDir::fromNativeSeparators(folder);
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

QString iniFilePath()
{
    return installationFolder() + QStringLiteral("rek2.ini");
}

QString logFilePath()
{
    return installationFolder() + QStringLiteral("Log.txt");
}

QString folderNotSetMessage(const QString& caption, const QString& key)
{
    return caption + QStringLiteral(" ni nastavljena v ") + iniFilePath() + QStringLiteral(" (ključ ") + key +
           QStringLiteral(" v razdelku \"Splošno\").");
}

QString normaliseFolder(const QString& value, const QString& homeFolder, bool emptyIsRoot)
{
    if (value.isEmpty())
        return emptyIsRoot ? QStringLiteral("/") : QString();

    QString v = value;
    const bool network = value.trimmed().startsWith(QLatin1String("\\\\"));
    if (!network && value.startsWith(u'\\')) {
        // "\xml" meant "below the program's folder"; drop the separator that
        // the folder already ends with.
        v = homeFolder + value.mid(1);
    } else if (!network &&
               (value.startsWith(QLatin1String("..\\")) || value.startsWith(QLatin1String("../")))) {
        v = homeFolder + value;
    }
    v.replace(u'\\', u'/');
    if (!v.endsWith(u'/'))
        v += u'/';
    return v;
}

bool ensureFolder(const QString& folder)
{
    if (folder.isEmpty())
        return false;
    QFileInfo fi(folder);
    if (fi.isDir())
        return true;
    QDir().mkdir(folder);
    return QFileInfo(folder).isDir();
}

} // namespace rek2
