#include "bench_util.h"

#include "db/bulk.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <cstdio>
#include <cstdlib>
#include <exception>

namespace rek2::bench {

double peakMiB()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

void resetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

double residentMiB()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> parts = f.readAll().split(' ');
    return parts.size() > 1 ? parts[1].toDouble() * 4096.0 / (1024.0 * 1024.0) : 0;
}

batch::DemoSummary makeDemoRegistry(const QString& path, int holders, int days, QDate from)
{
    batch::DemoOptions options;
    options.holders = holders;
    options.days = days;
    options.from = from;
    batch::DemoSummary summary;
    try {
        createNewDatabase(path, true,
                          [&](BulkLoader& loader) { summary = batch::generateDemo(loader, options); });
    } catch (const std::exception& e) {
        std::fprintf(stderr, "demo registry: %s\n", e.what());
        std::exit(1);
    }
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench-analyze"));
        db.setDatabaseName(path);
        if (!db.open() || !QSqlQuery(db).exec(QStringLiteral("ANALYZE"))) {
            std::fprintf(stderr, "ANALYZE: %s\n", qPrintable(db.lastError().text()));
            std::exit(1);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench-analyze"));
    return summary;
}

} // namespace rek2::bench
