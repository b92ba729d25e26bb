#include "base/durable_file.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <filesystem>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace rek2 {

namespace {
qint64 writeLimit = -1;

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}
} // namespace

void setDurableFileWriteLimitForTesting(qint64 bytes)
{
    writeLimit = bytes;
}

DurableFile::DurableFile(const QString& path) : file_(path) {}

DurableFile::~DurableFile()
{
    close();
}

bool DurableFile::open(OpenMode mode)
{
    // Unbuffered: each write goes to the file and its result is known.
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        setErrorString(file_.errorString());
        return false;
    }
#ifdef Q_OS_UNIX
    ::flock(file_.handle(), LOCK_EX | LOCK_NB);
#endif
    failed_ = false;
    written_ = 0;
    return QIODevice::open(mode | QIODevice::Unbuffered);
}

qint64 DurableFile::writeData(const char* data, qint64 size)
{
    if (failed_)
        return -1;
    if (writeLimit >= 0 && written_ + size > writeLimit) {
        failed_ = true;
        setErrorString(systemError(ENOSPC));
        return -1;
    }
    if (file_.write(data, size) != size) {
        failed_ = true;
        setErrorString(file_.errorString());
        return -1;
    }
    written_ += size;
    return size;
}

bool DurableFile::finish()
{
    if (failed_)
        return false;
    if (!file_.flush()) {
        failed_ = true;
        setErrorString(file_.errorString());
        return false;
    }
#ifdef Q_OS_UNIX
    if (::fsync(file_.handle()) != 0) {
        failed_ = true;
        setErrorString(systemError(errno));
        return false;
    }
#endif
    return true;
}

void DurableFile::close()
{
    if (file_.isOpen())
        file_.close();
    if (isOpen())
        QIODevice::close();
}

void DurableFile::discard()
{
    close();
    file_.remove();
}

bool replaceFile(const QString& from, const QString& to, QString* error)
{
#ifdef Q_OS_UNIX
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0) {
        if (error)
            *error = systemError(errno);
        return false;
    }
    const QByteArray folder = QFile::encodeName(QFileInfo(to).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    std::error_code ec;
    std::filesystem::rename(std::filesystem::path(from.toStdWString()),
                            std::filesystem::path(to.toStdWString()), ec);
    if (ec) {
        if (error)
            *error = QString::fromLocal8Bit(ec.message().c_str());
        return false;
    }
#endif
    return true;
}

bool fileInUse(const QString& path)
{
#ifdef Q_OS_UNIX
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY);
    if (fd < 0)
        return false;
    const bool busy = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return busy;
#else
    Q_UNUSED(path);
    return false;
#endif
}

} // namespace rek2
