#pragma once
#include "db/query.h"
#include "db/session.h"

#include <QTemporaryDir>
#include <QVariant>
#include <gtest/gtest.h>
#include <memory>

namespace rek2::test {

// An empty database file in a temporary folder, with sessions logged on to it.
class TempDatabase
{
public:
    TempDatabase()
    {
        path_ = dir_.filePath(QStringLiteral("store.db"));
        Session::createDatabaseFile(path_);
    }
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
