// The collection of one payout day of N holders (the demo registry's large
// dividend, plus its ordinary traffic), against a bare INSERT ... SELECT that
// copies the day's payout rows into a scratch table in the same run:
//   (a) the floor, (b) the whole run headless, (c) re-grouping alone,
//   (d) a second run of the same day; peak memory of (b).
//
//   cmake -S . -B build -DREK2_BUILD_BENCH=ON && cmake --build build --target collect_run_bench
//   build/bench/collect_run_bench [holders...]        (default 50000 100000 200000)
#include "batch/demo_generator.h"
#include "collect/collection_run.h"
#include "collect/regroup.h"
#include "store/context.h"
#include "store/oracle_session.h"
#include "store/schema.h"
#include "store/settings_db.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <sqlite3.h>

using namespace rek2;
using Clock = std::chrono::steady_clock;

namespace {

double seconds(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double>(b - a).count();
}

// Peak resident memory since the last reset, in MiB (Linux).
void resetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

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

// Nobody at the workstation: recipients sharing a tax number (the demo
// registry has some) are answered with Ignore, as the batch option does.
class IgnoreDuplicates : public Operator
{
public:
    void Napaka(const QString&, const QString&) override {}
    int Opozorilo(const QString&, const QString&, const QString&) override { return 1; }
    bool AbortIgnore(const QString&) override { return true; }
    void Information(const QString&) override {}
    bool Question(const QString&, const QString&) override { return true; }
    QString OpenFileName(const QString&, const QString&) override { return QString(); }
    void ShowMsgDlg(bool, const QString&) override {}
};

void run(QSqlQuery& q, const QString& sql)
{
    if (!q.exec(sql)) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(sql), qPrintable(q.lastError().text()));
        std::exit(1);
    }
}

batch::DemoSummary makeRegistry(const QString& path, int holders)
{
    TOracleSession::createDatabaseFile(path);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("gen"));
    db.setDatabaseName(path);
    db.open();
    createSchema(db);
    batch::DemoOptions options;
    options.holders = holders;
    options.days = 10;
    options.from = QDate(2026, 11, 2);
    QSqlQuery q(db);
    run(q, QStringLiteral("BEGIN"));
    auto* handle = *static_cast<sqlite3**>(db.driver()->handle().data());
    const batch::DemoSummary summary = batch::generateDemo(handle, options);
    run(q, QStringLiteral("COMMIT"));
    run(q, QStringLiteral("ANALYZE"));
    q = QSqlQuery();
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("gen"));
    return summary;
}

void measure(int holders)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.db"));
    const batch::DemoSummary demo = makeRegistry(path, holders);
    const QDate day = demo.largeDividendDay;
    const QString iso = day.toString(Qt::ISODate);

    TOracleSession session;
    session.LogonDatabase = path;
    session.LogOn();
    if (qEnvironmentVariableIsSet("REK2_BENCH_CACHE_KIB"))
        session.executeDirect(QStringLiteral("PRAGMA cache_size=-") + qEnvironmentVariable("REK2_BENCH_CACHE_KIB"));

    // (a) the floor: the day's payouts copied once, nothing else.
    session.executeDirect(QStringLiteral("CREATE TABLE SCRATCH AS SELECT * FROM DOG WHERE 0"));
    auto t0 = Clock::now();
    session.executeDirect(QStringLiteral("BEGIN"));
    session.executeDirect(
        QStringLiteral("INSERT INTO SCRATCH SELECT * FROM DOG WHERE SFPDG IN ('=', '@') AND DAN = '") + iso +
        QStringLiteral("'"));
    session.executeDirect(QStringLiteral("COMMIT"));
    const double a = seconds(t0, Clock::now());

    IgnoreDuplicates op;
    RekContext ctx;
    ctx.op = &op;
    loadDatabaseSettings(session, ctx.settings);
    ctx.settings.SfDogDvcOdt = batch::demoWithholdingCodes();
    ctx.attachSession(&session);
    DebugLog log(qEnvironmentVariable("REK2_BENCH_LOG"), qEnvironmentVariableIsSet("REK2_BENCH_LOG") ? 1 : 0);
    ctx.log = &log;
    ctx.datumOd = day;
    ctx.datumDo = day;

    // (b) the whole run.
    resetPeak();
    t0 = Clock::now();
    collect::CollectionRun(ctx).bNaborClick();
    const double b = seconds(t0, Clock::now());
    const double peak = peakMiB();
    const int rows = ctx.odsNabor.RecordCount();
    const int summaries = ctx.odsREK2_Zbir.RecordCount();

    // (c) re-grouping alone, as a refresh of the analytic view does it.
    t0 = Clock::now();
    collect::Regrouping::openSource(ctx, ctx.odsNaborREK2);
    collect::Regrouping(ctx).NafilajZbirni(ctx.odsNaborREK2);
    const double c = seconds(t0, Clock::now());

    // (d) a second run of the same day.
    t0 = Clock::now();
    collect::CollectionRun(ctx).bNaborClick();
    const double d = seconds(t0, Clock::now());

    std::printf("%8d holders, %6lld payouts that day -> %6d analytic rows, %3d summaries\n", holders,
                static_cast<long long>(demo.largeDividendPayouts), rows, summaries);
    std::printf("   (a) floor %.3f s  (b) run %.3f s  (c) re-grouping %.3f s  (d) second run %.3f s\n", a, b,
                c, d);
    std::printf("   b/a %.1f   d/b %.2f   peak memory of (b) %.0f MiB\n", b / a, d / b, peak);
    std::fflush(stdout);
    ctx.odsNabor.Close();
    ctx.odsREK2_Zbir.Close();
    ctx.odsNaborREK2.Close();
    ctx.odsKupon.Close();
    session.LogOff();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QList<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes << std::atoi(argv[i]);
    if (sizes.isEmpty())
        sizes = {50000, 100000, 200000};
    for (int n : sizes)
        measure(n);
    return 0;
}
