#include "batch/batch.h"
#include "run_batch.h"
#include "support/test_engine.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using rek2::test::BatchRun;
using rek2::test::runBatchCommand;

namespace {

// As text, so that a difference is shown line by line.
std::string readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
}

// One installation: a database, rek2.ini and the XML folders in `home`.
struct Workstation
{
    QTemporaryDir home;
    QString database;

    BatchRun run(const QStringList& args)
    {
        return runBatchCommand(QStringList{database, "operater", "geslo"} + args, home.path());
    }
};

} // namespace

// The same demo registry on SQLite and on PostgreSQL: the same seed gives the
// same registry, the collection the same summaries, and the XML run files
// that are the same byte for byte.
TEST(BothEngines, TheSameRegistryGivesTheSameReturns)
{
    if (!rek2::test::onPostgres())
        GTEST_SKIP() << "compares with the PostgreSQL test cluster";
    Workstation lite, server;
    lite.database = lite.home.filePath("demo.db");
    server.database = rek2::test::createTestDatabase(QString(), true);
    const QStringList init = {"init", "--demo", "--holders",  "60",     "--days",
                              "4",    "--from", "2026-11-23", "--seed", "11"};
    for (Workstation* w : {&lite, &server}) {
        const BatchRun r = w->run(init);
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
    }
    // The demo's rek2.ini (withholding codes, folders) for the server's workstation too.
    ASSERT_TRUE(QFile::copy(lite.home.filePath("rek2.ini"), server.home.filePath("rek2.ini")));
    // A database that already holds the tables is refused and left as it is.
    const BatchRun again = server.run({"init"});
    EXPECT_NE(again.code, 0);
    EXPECT_TRUE(again.err.contains("že vsebuje")) << again.err.toStdString();

    QStringList outputs[2];
    int i = 0;
    for (Workstation* w : {&lite, &server}) {
        BatchRun r = w->run({"collect", "--from", "2026-11-23", "--to", "2026-11-28", "--ignore-duplicates"});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        outputs[i] << r.out;
        r = w->run({"xml", "--from", "2026-11-23", "--to", "2026-11-28", "--all"});
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        outputs[i] << r.out;
        ++i;
    }
    // The same lines; summaries equal in the listing's sort keys may come in
    // either order (as on Oracle).
    for (QStringList& o : outputs) {
        o = o.join("\n").split("\n");
        o.sort();
    }
    EXPECT_EQ(outputs[0].join("\n").toStdString(), outputs[1].join("\n").toStdString());
    const QDir liteXml(lite.home.filePath("xml")), serverXml(server.home.filePath("xml"));
    const QStringList files = liteXml.entryList(QDir::Files, QDir::Name);
    EXPECT_GT(files.size(), 3);
    EXPECT_EQ(serverXml.entryList(QDir::Files, QDir::Name), files);
    for (const QString& file : files)
        EXPECT_EQ(readAll(serverXml.filePath(file)), readAll(liteXml.filePath(file))) << file.toStdString();
    rek2::test::dropTestDatabase(server.database);
}
