#pragma once
#include <QSqlDatabase>
#include <QString>
#include <QTemporaryDir>

namespace rek2::test {

// A fresh database with the whole schema: an SQLite file in its own
// temporary folder that disappears with the object, or, when the suite runs
// on PostgreSQL (support/test_engine.h), a database of its own on the test
// cluster, dropped with the object (the folder is still there for the files
// a test writes). path() is what a session logs on with. Tests open it with openConnection()
// or hand path() to the code under test.
class FixtureDb
{
public:
    enum class Content { SchemaOnly, SifBasics };

    explicit FixtureDb(Content content = Content::SchemaOnly);
    ~FixtureDb();
    FixtureDb(const FixtureDb&) = delete;
    FixtureDb& operator=(const FixtureDb&) = delete;

    const QString& path() const { return path_; }
    const QString& folder() const { return folderPath_; }

    // A QSQLITE connection to the file under a connection name unique to this
    // fixture (opened on first use, removed with the fixture).
    QSqlDatabase db();

    // Runs one statement (no bind values) and fails the test on error.
    void exec(const QString& sql);

private:
    QTemporaryDir dir_;
    QString folderPath_;
    QString path_;
    QString connectionName_;
};

// Creates the schema in a new file `path` (fails the test on error).
// With `sifBasics` it also writes the basic REK2_SIF rows (rek2::insertSifBasics).
void createFixtureFile(const QString& path, bool sifBasics = false);

} // namespace rek2::test
