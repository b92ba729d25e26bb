#pragma once
#include "db/query.h"
#include "db/session.h"
#include "support/test_engine.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QVariant>
#include <gtest/gtest.h>
#include <memory>
#include <sys/mount.h>
#include <unistd.h>

namespace rek2::test {

// An empty database (a file in a temporary folder, or a database on the
// PostgreSQL test cluster), with sessions logged on to it.
class TempDatabase
{
public:
    TempDatabase() { path_ = createTestDatabase(dir_.filePath(QStringLiteral("store.db"))); }
    ~TempDatabase() { dropTestDatabase(path_); }
    TempDatabase(const TempDatabase&) = delete;
    TempDatabase& operator=(const TempDatabase&) = delete;
    const QString& path() const { return path_; }

    std::unique_ptr<Session> session(int busyTimeoutMs = 5000) const
    {
        auto s = std::make_unique<Session>();
        s->LogonDatabase = path_;
        s->setBusyTimeout(busyTimeoutMs);
        s->LogOn();
        return s;
    }

private:
    QTemporaryDir dir_;
    QString path_;
};

// A copy of a database file that the process may only read: with file
// modes for an ordinary user, on a small file system mounted read-only for
// root (whom file modes do not stop). ready() is false where neither works.
class ReadOnlyCopy
{
public:
    explicit ReadOnlyCopy(const QString& source)
    {
        const QString folder = dir_.filePath(QStringLiteral("ro"));
        QDir().mkpath(folder);
        path_ = folder + QStringLiteral("/copy.db");
        const QByteArray f = QFile::encodeName(folder);
        if (::geteuid() == 0) {
            if (::mount("tmpfs", f.constData(), "tmpfs", 0, "size=4m") != 0) {
                why_ = QStringLiteral("cannot mount a file system here");
                return;
            }
            mounted_ = f;
            if (!QFile::copy(source, path_) ||
                ::mount("tmpfs", f.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=4m") != 0) {
                why_ = QStringLiteral("cannot make the copy read-only");
                return;
            }
        } else {
            if (!QFile::copy(source, path_)) {
                why_ = QStringLiteral("cannot copy");
                return;
            }
            QFile::setPermissions(path_, QFileDevice::ReadOwner);
            QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        }
        ready_ = true;
    }
    ~ReadOnlyCopy()
    {
        if (!mounted_.isEmpty())
            ::umount(mounted_.constData());
        else
            QFile::setPermissions(dir_.filePath(QStringLiteral("ro")),
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    bool ready() const { return ready_; }
    const QString& why() const { return why_; }
    const QString& path() const { return path_; }

private:
    QTemporaryDir dir_;
    QString path_, why_;
    QByteArray mounted_;
    bool ready_ = false;
};

// Runs Oracle text on `s` and returns the first column of the first row.
inline QVariant scalar(Session& s, const QString& oracleSql)
{
    Query q;
    q.SetSession(&s);
    q.SQL << oracleSql;
    q.Execute();
    return q.Field(0);
}

// Runs Oracle text (no result wanted).
inline int exec(Session& s, const QString& oracleSql)
{
    Query q;
    q.SetSession(&s);
    q.SQL << oracleSql;
    q.Execute();
    return q.RowsProcessed();
}

} // namespace rek2::test
