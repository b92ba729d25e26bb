#include "translate/translation_maintenance.h"

#include "base/cp1250.h"
#include "base/inifile.h"
#include "db/error.h"
#include "db/query.h"
#include "db/session.h"
#include "db/transaction.h"
#include "translate/translation_database.h"
#include "translate/translation_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace rek2 {

namespace {

// Scripts already run in this start, by absolute path.
QSet<QString>& scriptsRunThisStart()
{
    static QSet<QString> done;
    return done;
}

bool isOn(const IniFile& ini, const QString& section, const QString& key)
{
    return ini.value(section, key).trimmed() == QLatin1String("1");
}

QString readScript(const QString& path, bool* ok)
{
    QFile f(path);
    *ok = f.open(QIODevice::ReadOnly);
    if (!*ok)
        return QString();
    QByteArray bytes = f.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    return isValidUtf8(bytes) ? QString::fromUtf8(bytes) : fromWindows1250(bytes);
}

// The log is a diagnostic: a failed write never stops the import.
void appendLog(const QString& path, const QStringList& statement, const QString& error)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    QString text;
    for (const QString& line : statement)
        text += line + QStringLiteral("\r\n");
    text += error + QStringLiteral("\r\n\r\n");
    f.write(text.toUtf8());
}

// True when every statement succeeded and the script was committed.
bool runScript(Session& session, const QString& scriptPath)
{
    bool readable = false;
    const QString text = readScript(scriptPath, &readable);
    if (!readable)
        return false;
    const QString logPath = scriptPath + QStringLiteral(".log");
    bool failed = false;
    Transaction tx(session);
    for (const QStringList& statement : splitTranslationScript(text)) {
        try {
            Query q;
            q.SetSession(&session);
            q.SQL = statement;
            q.Execute();
        } catch (const DbError& e) {
            failed = true;
            appendLog(logPath, statement, e.message());
        }
    }
    if (failed) {
        tx.rollback();
        return false;
    }
    tx.commit();
    return true;
}

} // namespace

QList<QStringList> splitTranslationScript(const QString& text)
{
    QList<QStringList> out;
    QStringList current;
    QString normalised = text;
    normalised.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
    for (QString line : normalised.split(u'\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1String("--")))
            continue;
        if (line.endsWith(u';')) {
            line.chop(1);
            if (!line.trimmed().isEmpty())
                current << line.trimmed();
            if (!current.isEmpty())
                out << current;
            current.clear();
        } else {
            current << line;
        }
    }
    if (!current.isEmpty())
        out << current;
    return out;
}

MaintenanceOutcome runTranslationMaintenance(const QString& iniPath, TranslationDatabase& db,
                                             const QString& programName)
{
    MaintenanceOutcome outcome;
    IniFile ini(iniPath);
    if (!ini.exists())
        return outcome;
    const QString folder = QFileInfo(iniPath).absolutePath() + u'/';
    const QString del = QStringLiteral("DELETE");
    const QString imp = QStringLiteral("IMPORT");

    const QStringList deletions = ini.keys(del);
    for (const QString& form : deletions) {
        if (!isOn(ini, del, form))
            continue;
        if (!db.exists()) { // nothing was ever stored, so nothing to delete
            ini.writeValue(del, form, QStringLiteral("0"));
            continue;
        }
        if (form.compare(QLatin1String("ALL"), Qt::CaseInsensitive) == 0) {
            translation_store::deleteAll(db.open(false));
            outcome.allDeleted = true;
            for (const QString& any : deletions)
                if (isOn(ini, del, any))
                    ini.writeValue(del, any, QStringLiteral("0"));
            break;
        }
        outcome.formsDeleted += translation_store::deleteForm(db.open(false), programName, form);
        ini.writeValue(del, form, QStringLiteral("0"));
    }

    for (const QString& name : ini.keys(imp)) {
        if (!isOn(ini, imp, name))
            continue;
        const QString file = ini.value(QStringLiteral("FILES"), name).trimmed();
        const QString path =
            QDir::cleanPath(QDir(folder).absoluteFilePath(QString(file).replace(u'\\', u'/')));
        if (!file.isEmpty() && QFileInfo(path).isFile() && !scriptsRunThisStart().contains(path)) {
            scriptsRunThisStart().insert(path);
            if (runScript(db.open(true), path))
                outcome.scriptsRun << path;
            else
                outcome.scriptsFailed << path;
        }
        ini.writeValue(imp, name, QStringLiteral("0"));
    }
    return outcome;
}

} // namespace rek2
