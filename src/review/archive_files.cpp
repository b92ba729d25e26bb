#include "review/archive_files.h"

#include "base/system_errors.h"
#include "review/kopiraj.h"
#include "review/review_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace rek2::review {

ArchiveMove::ArchiveMove(QString unsentFolder, QString archiveFolder)
    : unsent_(std::move(unsentFolder)), archive_(std::move(archiveFolder))
{
}

void ArchiveMove::copyToArchive(const QString& fileName)
{
    const QString source = QDir(unsent_).filePath(fileName);
    if (unsent_.isEmpty() || !QFileInfo(source).isFile()) {
        missing_ << fileName;
        return;
    }
    if (archive_.trimmed().isEmpty()) {
        notMoved_ << source;
        return;
    }
    const QString target = QDir(archive_).filePath(archiveNameFor(archive_, fileName));
    const auto fail = [&](const QString& why) {
        throw ReviewError(QStringLiteral("Datoteke %1 ni mogoče kopirati v %2: %3")
                              .arg(source, target, fileErrorReason(why)));
    };
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        fail(in.errorString());
    const QByteArray content = in.readAll();
    if (content.size() != in.size())
        fail(in.errorString());
    // Written beside the target and renamed into place when complete, so a
    // full disk leaves no partial copy.
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        fail(out.errorString());
    if (out.write(content) != content.size())
        fail(out.errorString());
    if (!out.commit())
        fail(out.errorString());
    QFileInfo written(target);
    if (written.size() != content.size()) {
        QFile::remove(target);
        fail(QStringLiteral("kopija ni cela"));
    }
    const QString same = QDir(archive_).filePath(fileName);
    copies_.push_back({source, target, QFileInfo(same) == QFileInfo(target) ? QString() : same});
}

void ArchiveMove::discardCopies()
{
    for (const Copy& c : copies_)
        QFile::remove(c.target);
    copies_.clear();
}

QStringList ArchiveMove::finish()
{
    QStringList warnings;
    for (const Copy& c : copies_) {
        if (!c.sameNameInArchive.isEmpty() && QFileInfo::exists(c.sameNameInArchive))
            QFile::remove(c.sameNameInArchive);
        if (!QFile::remove(c.source))
            warnings << QStringLiteral("Datoteke %1 ni bilo mogoče zbrisati; njena kopija je %2.")
                            .arg(c.source, c.target);
    }
    return warnings;
}

QStringList ArchiveMove::plannedMoves() const
{
    QStringList out;
    for (const Copy& c : copies_)
        out << c.source + QStringLiteral(" -> ") + c.target;
    return out;
}

} // namespace rek2::review
