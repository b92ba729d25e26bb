#pragma once
#include <QString>
#include <QStringList>
#include <vector>

namespace rek2::review {

// Moves the files of a return taken back from the folder of unsent returns
// into the archive folder, in two phases around the database transaction:
// copyToArchive() makes complete copies (or throws, leaving nothing behind),
// finish() deletes the originals once the transaction committed, and
// discardCopies() undoes the copies when it did not.
class ArchiveMove
{
public:
    ArchiveMove(QString unsentFolder, QString archiveFolder);

    // Copies unsent/fileName to archive/<archiveNameFor>. A file not in the
    // unsent folder is listed in missing(); without an archive folder the
    // file is listed in notMoved() and stays. Throws ReviewError when the
    // copy cannot be made whole.
    void copyToArchive(const QString& fileName);

    void discardCopies();
    // Deletes each copied original (and an archive file of the original's
    // name, which would show the return as sent). Returns warnings for
    // originals that could not be deleted; their archive copies stay.
    QStringList finish();

    QStringList plannedMoves() const; // "unsent path -> archive path"
    const QStringList& missing() const { return missing_; }
    const QStringList& notMoved() const { return notMoved_; }

private:
    struct Copy
    {
        QString source;
        QString target;
        QString sameNameInArchive;
    };
    QString unsent_;
    QString archive_;
    std::vector<Copy> copies_;
    QStringList missing_;
    QStringList notMoved_;
};

} // namespace rek2::review
