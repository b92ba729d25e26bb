// The demo registry generator ("rek2-batch ... init --demo --holders N")
// against a floor measured in the same run: the same number of DOG rows
// written with one prepared INSERT of fixed values into a new file with the
// same schema, in one transaction. Reports both times, their ratio, the
// events per second, the file size and the peak resident memory.
//
//   cmake -S . -B build -DREK2_BUILD_BENCH=ON && cmake --build build --target demo_init_bench
//   build/bench/demo_init_bench [holders...]        (default 100000)
#include "batch/batch.h"
#include "bench_util.h"
#include "db/schema.h"
#include "db/sqlite/bulk_sqlite.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>

#include <chrono>
#include <cstdio>
#include <sqlite3.h>

using namespace rek2;
using namespace rek2::bench;

namespace {

qint64 count(const QString& path, const char* sql)
{
    qint64 n = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("count"));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(db);
        if (q.exec(QString::fromLatin1(sql)) && q.next())
            n = q.value(0).toLongLong();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("count"));
    return n;
}

// The floor: `events` DOG rows of fixed values, nothing computed.
double floorSeconds(const QString& path, qint64 events)
{
    double elapsed = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("floor"));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(db);
        q.exec(QStringLiteral("PRAGMA synchronous=OFF"));
        q.exec(QStringLiteral("PRAGMA journal_mode=MEMORY"));
        q.exec(QStringLiteral("PRAGMA cache_size=-131072"));
        createSchema(db);
        sqlite3* handle = *static_cast<sqlite3* const*>(db.driver()->handle().constData());
        const auto t0 = Clock::now();
        sqlite::SqliteBulkLoader loader(handle);
        loader.exec("BEGIN");
        {
            auto ins = loader.prepare("INSERT INTO DOG (IDDOG, SFDOG, SFPDG, DAN, IDPOG, SFKPN, SFVP, LOT, "
                                      "TCJVLT, GOT, SFVPGOT, OBRVLT) VALUES (?,?,?,?,?,?,?,?,?,?,?,?)");
            const QVariant code(QStringLiteral("IZD")), kind(QStringLiteral("=")),
                day(QStringLiteral("2026-12-09"));
            for (qint64 i = 0; i < events; ++i)
                ins->insert({1000000 + i, code, kind, day, 500000 + i % 100000, 5001, 101, 100.0, 1.0, 75.0,
                             978, 1.0});
        }
        loader.exec("COMMIT");
        elapsed = seconds(t0, Clock::now());
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("floor"));
    return elapsed;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QList<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes << QString::fromLatin1(argv[i]).toInt();
    if (sizes.isEmpty())
        sizes << 100000;

    std::printf("%9s %10s %9s %9s %7s %12s %9s %9s\n", "holders", "events", "init s", "floor s", "ratio",
                "events/s", "file MiB", "peak MiB");
    for (int holders : sizes) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("demo.db"));
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        batch::BatchContext ctx;
        ctx.out = &outStream;
        ctx.err = &errStream;
        batch::loadInstallation(ctx, dir.path() + QLatin1Char('/'));
        const auto t0 = Clock::now();
        const int code = batch::runBatch(ctx, {path, QStringLiteral("u"), QStringLiteral("g"),
                                               QStringLiteral("init"), QStringLiteral("--demo"),
                                               QStringLiteral("--holders"), QString::number(holders),
                                               QStringLiteral("--from"), QStringLiteral("2026-11-23")});
        const double initSeconds = seconds(t0, Clock::now());
        errStream.flush();
        if (code != 0) {
            std::fprintf(stderr, "init: %s\n", qPrintable(err));
            return 1;
        }
        const qint64 events = count(path, "SELECT COUNT(*) FROM DOG");
        const double fileMiB = QFileInfo(path).size() / 1048576.0;
        const double floor = floorSeconds(dir.filePath(QStringLiteral("floor.db")), events);
        std::printf("%9d %10lld %9.2f %9.2f %7.2f %12.0f %9.1f %9.1f\n", holders, events, initSeconds, floor,
                    initSeconds / floor, events / initSeconds, fileMiB, peakMiB());
    }
    return 0;
}
