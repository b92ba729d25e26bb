#pragma once
#include "base/cp1250.h"
#include "db/query.h"
#include "db/session.h"
#include "translate/translation_database.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace rek2::test {

// An installation folder of its own (REK2_HOME) for one test, with helpers
// to write the translator's files and reach its database.
class TranslateHome
{
public:
    TranslateHome() { qputenv("REK2_HOME", dir_.path().toUtf8()); }
    ~TranslateHome() { qunsetenv("REK2_HOME"); }

    QString path(const QString& name) const { return dir_.filePath(name); }
    bool exists(const QString& name) const { return QFile::exists(path(name)); }

    void write(const QString& name, const QString& text, bool windows1250 = false) const
    {
        QByteArray bytes = text.toUtf8();
        if (windows1250) {
            bytes.clear();
            toWindows1250(text, bytes);
        }
        QDir().mkpath(QFileInfo(path(name)).absolutePath());
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QString read(const QString& name) const
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    // Translation switched on for `language` (and write mode when asked).
    void settings(const QString& language, bool translate, bool writeMode = false) const
    {
        write(QStringLiteral("QuorTrans.ini"),
              QStringLiteral("[QUOR]\r\nLANGUAGE=%1\r\nTRANSLATE=%2\r\nWRITE.TRANS=%3\r\n")
                  .arg(language)
                  .arg(translate ? 1 : 0)
                  .arg(writeMode ? 1 : 0));
    }

    // The default translation database, created with its tables.
    std::unique_ptr<Session> database() const
    {
        const QString file = path(QStringLiteral("translations.db"));
        if (!QFile::exists(file)) {
            TranslationDatabase db;
            db.open(true);
        }
        auto s = std::make_unique<Session>();
        s->LogonDatabase = file;
        s->LogOn();
        return s;
    }

private:
    QTemporaryDir dir_;
};

inline int execSql(Session& s, const QString& sql)
{
    Query q;
    q.SetSession(&s);
    q.SQL << sql;
    q.Execute();
    return q.RowsProcessed();
}

inline QVariant scalarSql(Session& s, const QString& sql)
{
    Query q;
    q.SetSession(&s);
    q.SQL << sql;
    q.Execute();
    return q.RowCount() ? q.Field(0) : QVariant();
}

} // namespace rek2::test
