#include "xmlreturn/return_journal.h"

#include "base/durable_file.h"
#include "db/dataset.h"
#include "db/error.h"
#include "db/query.h"
#include "db/session.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace rek2::journal {

namespace {
const QString kSuffix = QStringLiteral(".part");

QString clean(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}
} // namespace

QString temporaryPath(const QString& finalPath)
{
    return finalPath + kSuffix;
}

bool isTemporaryName(const QString& fileName)
{
    return fileName.endsWith(QStringLiteral(".xml") + kSuffix, Qt::CaseInsensitive);
}

void ensureTable(Session& session)
{
    Query q(QStringLiteral("qXmlJournal"));
    q.SetSession(&session);
    q.SQL = QStringList{
        QStringLiteral("CREATE TABLE IF NOT EXISTS REK2_XML_JOURNAL (FILE_PATH VARCHAR(1000) NOT NULL)")};
    q.Execute();
}

void record(Session& session, const QString& finalPath)
{
    Query q(QStringLiteral("qXmlJournal"));
    q.SetSession(&session);
    q.SQL = QStringList{QStringLiteral("INSERT INTO REK2_XML_JOURNAL (FILE_PATH) VALUES (:FILE_PATH)")};
    q.DeclareAndSet(QStringLiteral("FILE_PATH"), VarType::String, clean(finalPath));
    q.Execute();
}

void forget(Session& session, const QString& finalPath)
{
    try {
        Query q(QStringLiteral("qXmlJournal"));
        q.SetSession(&session);
        q.SQL = QStringList{QStringLiteral("DELETE FROM REK2_XML_JOURNAL WHERE FILE_PATH = :FILE_PATH")};
        q.DeclareAndSet(QStringLiteral("FILE_PATH"), VarType::String, clean(finalPath));
        q.Execute();
    } catch (const DbError&) {
        // The row only says "rename if still needed": left over, it is
        // forgotten by the next clean-up.
    }
}

QStringList finishInterruptedReturns(Session& session, const QString& xmlFolder)
{
    QStringList done;
    if (!session.Connected() || session.InTransaction())
        return done;
    QStringList recorded;
    try {
        DataSet ds(QStringLiteral("qXmlJournal"));
        ds.SetSession(&session);
        ds.SQL = QStringList{QStringLiteral("SELECT FILE_PATH FROM REK2_XML_JOURNAL")};
        ds.Open();
        for (ds.First(); !ds.Eof(); ds.Next())
            recorded << ds.Fields(0)->AsString();
        ds.Close();
    } catch (const DbError&) {
        // No journal (a database no return was written to since it came),
        // or it cannot be read: a temporary file cannot be judged, so none
        // is touched. They are never listed as returns.
        return done;
    }
    QSet<QString> known;
    for (const QString& finalPath : recorded) {
        known.insert(clean(finalPath));
        const QString temp = temporaryPath(finalPath);
        if (QFileInfo::exists(temp)) {
            if (fileInUse(temp))
                continue;
            QString error;
            if (!replaceFile(temp, finalPath, &error)) {
                done << QStringLiteral("Datoteke %1 ni mogoče preimenovati: %2").arg(temp, error);
                continue;
            }
            done << QStringLiteral("Dokončan zapis datoteke %1").arg(finalPath);
        }
        if (!QFileInfo::exists(temp))
            forget(session, finalPath);
    }
    if (xmlFolder.trimmed().isEmpty())
        return done;
    const QDir dir(xmlFolder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden)) {
        if (!isTemporaryName(name))
            continue;
        const QString temp = dir.filePath(name);
        const QString finalPath = temp.left(temp.size() - kSuffix.size());
        if (known.contains(clean(finalPath)) || fileInUse(temp))
            continue;
        if (QFile::remove(temp))
            done << QStringLiteral("Odstranjena nedokončana datoteka %1").arg(temp);
    }
    return done;
}

} // namespace rek2::journal
