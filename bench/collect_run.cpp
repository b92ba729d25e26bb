// The collection of one payout day of N holders (the demo registry's large
// dividend, plus its ordinary traffic), against a bare INSERT ... SELECT that
// copies the day's payout rows into a scratch table in the same run:
//   (a) the floor, (b) the whole run headless, (c) re-grouping alone,
//   (d) a second run of the same day; peak memory of (b); (e) the floor of
//   (c), one plain query reading the rows re-grouping reads; (f) the floor of
//   (d): the reads and the write no second run can leave out, done by the
//   engine alone.
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

// Seconds to step through `sql` on the engine itself, every value taken
// (its text, number or blob): less than any reader of ours can spend. Says
// so when no value came though some were expected.
double stepThrough(Session& session, const QString& sql, bool rowsExpected = true)
{
    sqlite3* db = *static_cast<sqlite3* const*>(session.database().driver()->handle().constData());
    const auto t0 = Clock::now();
    sqlite3_stmt* st = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db, text.constData(), static_cast<int>(text.size()), &st, nullptr) != SQLITE_OK) {
        std::printf("cannot prepare: %s\n", sqlite3_errmsg(db));
        return 0;
    }
    const int columns = sqlite3_column_count(st);
    qint64 bytes = 0;
    while (sqlite3_step(st) == SQLITE_ROW)
        for (int c = 0; c < columns; ++c)
            switch (sqlite3_column_type(st, c)) {
            case SQLITE_INTEGER:
                bytes += sqlite3_column_int64(st, c) != 0;
                break;
            case SQLITE_FLOAT:
                bytes += sqlite3_column_double(st, c) != 0;
                break;
            case SQLITE_NULL:
                break;
            default:
                bytes += sqlite3_column_bytes(st, c) + (sqlite3_column_text(st, c) != nullptr);
            }
    sqlite3_finalize(st);
    if (bytes == 0 && rowsExpected)
        std::printf("no rows read by: %s\n", qPrintable(sql));
    return seconds(t0, Clock::now());
}

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
    const QString period =
        QStringLiteral(" FROM REK2_ANAL WHERE (DATUM_IZP_DIV = '") + iso +
        QStringLiteral("' AND (DATUM_PLC_DVK IS NULL OR DATUM_IZP_DIV = DATUM_PLC_DVK)) OR "
                       "DATUM_PLC_DVK = '") +
        iso + QStringLiteral("'");
    const QString regroupOrder =
        QStringLiteral(" ORDER BY DATUM_IZP_DIV, DATUM_PLC_DVK, SFKPN, SFVP, SIF_VRSTE_DOH");
    t0 = Clock::now();
    {
        QSqlQuery q(session.database());
        q.setForwardOnly(true);
        q.exec(QStringLiteral("SELECT *") + period + regroupOrder);
        const int columns = q.record().count();
        qint64 values = 0;
        while (q.next())
            for (int c = 0; c < columns; ++c)
                values += q.value(c).isNull() ? 0 : 1;
        if (values == 0)
            std::printf("no rows to re-group\n");
    }
    const double e = seconds(t0, Clock::now());

    // (f) what no second run can leave out, each done by the engine alone:
    // find the day's payouts that have no link yet (none, the second time),
    // read the period's rows to group them (the columns re-grouping uses, in
    // whatever order they come), give every row its new summary (one UPDATE
    // of all of them, committed; run again unmeasured to put the values
    // back), read the rows for the grid (every column, in the grid's order).
    const double f0 = stepThrough(
        session,
        QStringLiteral("SELECT D.IDDOG FROM DOG D WHERE D.SFPDG IN ('=', '@') AND D.DAN = '") + iso +
            QStringLiteral("' AND NOT EXISTS(SELECT 1 FROM REK2_DOG L WHERE L.ID_DOG = D.IDDOG)"),
        false);
    const double f1 = stepThrough(
        session,
        QStringLiteral("SELECT ID_REK2_ANAL, ID_REK2_ZBIR, DVS, SFKPN, SFVP, SIF_VRSTE_DOH, DATUM_IZP_DIV, "
                       "DATUM_PLC_DVK, REZ, ZNIZANASTOPNJA, BRUTO, DAV_ODT_OBR, DAV_ODT_ODB_TUJ") +
            period);
    auto negateSummaries = [&] {
        session.executeDirect(QStringLiteral("BEGIN"));
        session.executeDirect(
            QStringLiteral("UPDATE REK2_ANAL SET ID_REK2_ZBIR = -ID_REK2_ZBIR WHERE ID_REK2_ANAL IN "
                           "(SELECT ID_REK2_ANAL") +
            period + QStringLiteral(")"));
        session.executeDirect(QStringLiteral("COMMIT"));
    };
    t0 = Clock::now();
    negateSummaries();
    const double f2 = seconds(t0, Clock::now());
    negateSummaries();
    const double f3 =
        stepThrough(session, QStringLiteral("SELECT *") + period +
                                 QStringLiteral(" ORDER BY SIF_VRSTE_DOH, DATUM_IZP_DIV, DATUM_PLC_DVK"));
    const double f = f0 + f1 + f2 + f3;

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
    // d >= f, so d/b <= 0.33 needs b >= f/0.33: the least b/a that allows.
    std::printf(
        "   (f) second run's floor %.3f s (new payouts %.3f, read to group %.3f, every row's summary %.3f, "
        "grid's read %.3f):\n       d/b <= 0.33 needs b/a >= %.1f\n",
        f, f0, f1, f2, f3, f / 0.33 / a);
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
