// The collection of one payout day of N holders (the demo registry's large
// dividend, plus its ordinary traffic), against a bare INSERT ... SELECT that
// copies the day's payout rows into a scratch table in the same run:
//   (a) the floor, (b) the whole run headless, (c) re-grouping alone,
//   (d) a second run of the same day; peak memory of (b); (e) the floor of
//   (c), one plain query reading the rows re-grouping reads.
//
//   cmake -S . -B build -DREK2_BUILD_BENCH=ON && cmake --build build --target collect_run_bench
//   build/bench/collect_run_bench [holders...]        (default 50000 100000 200000)
#include "batch/demo_generator.h"
#include "bench_util.h"
#include "collect/collection_run.h"
#include "collect/regroup.h"
#include "db/schema.h"
#include "db/session.h"
#include "returns/context.h"
#include "returns/settings_db.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <sqlite3.h>

using namespace rek2;
using namespace rek2::bench;

namespace {

void measure(int holders)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.db"));
    const batch::DemoSummary demo = bench::makeDemoRegistry(path, holders);
    const QDate day = demo.largeDividendDay;
    const QString iso = day.toString(Qt::ISODate);

    Session session;
    session.LogonDatabase = path;
    session.LogOn();
    if (qEnvironmentVariableIsSet("REK2_BENCH_CACHE_KIB"))
        session.executeDirect(QStringLiteral("PRAGMA cache_size=-") +
                              qEnvironmentVariable("REK2_BENCH_CACHE_KIB"));

    // A registry with a history: REK2_BENCH_FILED_LINKS links of returns
    // filed and numbered before (of events the demo does not have), which a
    // collection must not read again.
    const qint64 filed = qEnvironmentVariableIntValue("REK2_BENCH_FILED_LINKS");
    if (filed > 0) {
        session.executeDirect(QStringLiteral("BEGIN"));
        session.executeDirect(
            QStringLiteral("WITH RECURSIVE N(X) AS (SELECT 1 UNION ALL SELECT X+1 FROM N WHERE X<") +
            QString::number(filed) +
            QStringLiteral(") INSERT INTO REK2_DOG SELECT 1000000000+X, (SELECT MAX(IDDOG) FROM DOG)+X, "
                           "'EDP-12345678-'||(X/1000), 'REK2_'||(X/1000)||'.xml', NULL, 'D' FROM N"));
        session.executeDirect(QStringLiteral("COMMIT"));
    }

    // (a) the floor: the day's payouts copied once, nothing else.
    session.executeDirect(QStringLiteral("CREATE TABLE SCRATCH AS SELECT * FROM DOG WHERE 0"));
    auto t0 = Clock::now();
    session.executeDirect(QStringLiteral("BEGIN"));
    session.executeDirect(
        QStringLiteral("INSERT INTO SCRATCH SELECT * FROM DOG WHERE SFPDG IN ('=', '@') AND DAN = '") + iso +
        QStringLiteral("'"));
    session.executeDirect(QStringLiteral("COMMIT"));
    const double a = seconds(t0, Clock::now());

    bench::SilentOperator op;
    RekContext ctx;
    ctx.op = &op;
    loadDatabaseSettings(session, ctx.settings);
    ctx.settings.SfDogDvcOdt = batch::demoWithholdingCodes();
    ctx.attachSession(&session);
    DebugLog log(qEnvironmentVariable("REK2_BENCH_LOG"), qEnvironmentVariableIsSet("REK2_BENCH_LOG") ? 1 : 0);
    ctx.log = &log;
    ctx.datumOd = day;
    ctx.datumDo = day;
    // REK2_BENCH_PULSE=1: the session watches the engine while it works and
    // calls a pulse, as the window's session does (here it only counts):
    // what watching costs. Set after the floor, which runs without.
    int pulses = 0;
    if (qEnvironmentVariableIsSet("REK2_BENCH_PULSE"))
        session.setPulse([&pulses] { ++pulses; });

    // (b) the whole run.
    resetPeak();
    t0 = Clock::now();
    collect::CollectionRun(ctx).bNaborClick();
    const double b = seconds(t0, Clock::now());
    const double peak = peakMiB();
    const int rows = ctx.odsNabor.RecordCount();
    const int summaries = ctx.odsREK2_Zbir.RecordCount();

    // (e) the floor of (c): the rows re-grouping reads, read once with one
    // plain query, every value taken.
    t0 = Clock::now();
    {
        QSqlQuery q(session.database());
        q.setForwardOnly(true);
        q.exec(QStringLiteral("SELECT * FROM REK2_ANAL WHERE (DATUM_IZP_DIV = '") + iso +
               QStringLiteral("' AND (DATUM_PLC_DVK IS NULL OR DATUM_IZP_DIV = DATUM_PLC_DVK)) OR "
                              "DATUM_PLC_DVK = '") +
               iso + QStringLiteral("' ORDER BY DATUM_IZP_DIV, DATUM_PLC_DVK, SFKPN, SFVP, SIF_VRSTE_DOH"));
        const int columns = q.record().count();
        qint64 values = 0;
        while (q.next())
            for (int c = 0; c < columns; ++c)
                values += q.value(c).isNull() ? 0 : 1;
        if (values == 0)
            std::printf("no rows to re-group\n");
    }
    const double e = seconds(t0, Clock::now());

    // (c) re-grouping alone, as a refresh of the analytic view does it.
    t0 = Clock::now();
    collect::Regrouping::openSource(ctx, ctx.odsNaborREK2);
    collect::Regrouping(ctx).NafilajZbirni(ctx.odsNaborREK2);
    const double c = seconds(t0, Clock::now());

    // (d) a second run of the same day.
    t0 = Clock::now();
    collect::CollectionRun(ctx).bNaborClick();
    const double d = seconds(t0, Clock::now());

    std::printf("%8d holders, %6lld payouts that day -> %6d analytic rows, %3d summaries", holders,
                static_cast<long long>(demo.largeDividendPayouts), rows, summaries);
    if (filed > 0)
        std::printf(", %lld filed links before", static_cast<long long>(filed));
    if (qEnvironmentVariableIsSet("REK2_BENCH_PULSE"))
        std::printf(", %d pulses", pulses);
    std::printf("\n");
    std::printf("   (a) floor %.3f s  (b) run %.3f s  (c) re-grouping %.3f s  (d) second run %.3f s\n", a, b,
                c, d);
    std::printf("   (e) one plain query over the rows re-grouping reads %.3f s\n", e);
    std::printf("   b/a %.1f   d/b %.2f   c/e %.1f   peak memory of (b) %.0f MiB\n", b / a, d / b, c / e,
                peak);
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
