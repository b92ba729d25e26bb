#pragma once
#include <QFile>
#include <QIODevice>
#include <QString>

namespace rek2 {

// A file written so that what is on disk is either complete or known to be
// incomplete. Every write reaches the file at once and is checked (a full
// disk fails the write that does not fit, not a later flush that nobody
// checks); finish() syncs the data to disk. The file stays open, and on
// Unix locked, until close(), so that a clean-up by another program can
// tell a file being written from one left behind by a crash.
class DurableFile : public QIODevice
{
public:
    explicit DurableFile(const QString& path);
    ~DurableFile() override;

    // Creates or truncates the file. False with errorString() on failure.
    bool open(OpenMode mode = WriteOnly) override;
    // Syncs the written bytes to disk; false with errorString() when any
    // write failed or the sync fails.
    bool finish();
    void close() override;
    // Closes and deletes the file.
    void discard();
    QString fileName() const { return file_.fileName(); }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override;

private:
    QFile file_;
    bool failed_ = false;
    qint64 written_ = 0;
};

// Renames `from` to `to`, replacing a file of that name in one step, and
// syncs the folder so the new name survives a crash. False with `error`.
bool replaceFile(const QString& from, const QString& to, QString* error);

// Whether another process holds the file open for writing through a
// DurableFile (Unix); false when it can be taken or does not exist.
bool fileInUse(const QString& path);

// Tests: every DurableFile fails its writes once this many bytes have been
// written to it, as a full disk does (negative: no limit).
void setDurableFileWriteLimitForTesting(qint64 bytes);

} // namespace rek2
