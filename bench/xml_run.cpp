// The whole "XML" run of one demo-sized day: one return of 100,000 analytic
// rows and a handful of small ones, each written and moved to history, against
// reading the same rows with one plain query in the same run.
//
//   cmake -S . -B build -DREK2_BUILD_BENCH=ON && cmake --build build --target xml_run_bench
//   build/bench/xml_run_bench [rows]
#include "bench_util.h"
#include "db/schema.h"
#include "db/session.h"
#include "returns/context.h"
#include "returns/working_statements.h"
#include "xmlreturn/xml_return_run.h"

#include <QCoreApplication>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>

using namespace rek2;
using namespace rek2::bench;

namespace {

bool fill(const QString& path, int rows)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench-fill"));
    db.setDatabaseName(path);
    if (!db.open())
        return false;
    createSchema(db);
    insertSifBasics(db);
    QSqlQuery q(db);
    db.transaction();
    // Summary 1 carries the big return; 2..10 a hundred rows each.
    for (int z = 1; z <= 10; ++z) {
        q.exec(QStringLiteral(
                   "INSERT INTO REK2_ZBIR (ID_REK2_ZBIR, CORRECTIONTYPE, SIF_VRSTE_DOH, MESEC_LETO, "
                   "DATUM_IZP, ZAPST_DEL, STZAP_REZ, STZAP_NEREZ, DOH, SKUPAJ, SFVP) VALUES (%1, 'O', "
                   "'1901', '11.2026', '2026-11-30', 1, 0, 0, 0, 0, 'SEC%1')")
                   .arg(z));
    }
    q.prepare(QStringLiteral(
        "INSERT INTO REK2_ANAL (ID_REK2_ANAL, ID_REK2_ZBIR, DVS, NAZIV, IME, PRIIMEK, REZ, DRZ, "
        "SIF_SFDOH, BRUTO, DAV_ODT_OBR, DAV_ODT_PLC, DAV_ODT_ODB_TUJ, SIF_VRSTE_DOH, "
        "DATUM_IZP_DIV, STATUS) VALUES (?, ?, ?, ?, ?, ?, 'R', 'SI', '5400', ?, ?, ?, 0, "
        "'1901', '2026-11-30', 'O')"));
    QSqlQuery link(db);
    link.prepare(QStringLiteral("INSERT INTO REK2_DOG VALUES (?, ?, NULL, NULL, 'O', 'N')"));
    const int total = rows + 900;
    for (int i = 1; i <= total; ++i) {
        const double gross = 10.0 + (i % 5000) * 1.37;
        q.addBindValue(i);
        q.addBindValue(i <= rows ? 1 : 2 + (i - rows - 1) / 100);
        q.addBindValue(QString::number(10000000 + i));
        q.addBindValue(QStringLiteral("Ime%1 Priimek").arg(i));
        q.addBindValue(QStringLiteral("Ime%1").arg(i));
        q.addBindValue(QStringLiteral("Priimek"));
        q.addBindValue(gross);
        q.addBindValue(gross * 0.25);
        q.addBindValue(gross * 0.25);
        if (!q.exec())
            return false;
        link.addBindValue(i);
        link.addBindValue(i);
        link.exec();
    }
    db.commit();
    db.close();
    return true;
}

// The floor, a function of its own so that a profile can count it apart
// (valgrind --toggle-collect='*readRowsPlainly*').
[[gnu::noinline]] int readRowsPlainly(Session& session)
{
    QSqlQuery q(session.database());
    q.exec(QStringLiteral("SELECT * FROM REK2_ANAL ORDER BY SIF_VRSTE_DOH, DATUM_IZP_DIV"));
    int n = 0;
    while (q.next())
        n += q.value(0).toInt() > 0 ? 1 : 0;
    return n;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.db"));
    Session::createDatabaseFile(path);
    if (!fill(path, rows))
        return 1;
    QSqlDatabase::removeDatabase(QStringLiteral("bench-fill"));

    Session session;
    session.LogonDatabase = path;
    session.LogOn();

    // Baseline: the rows of the day read once with a plain query.
    const auto b0 = Clock::now();
    readRowsPlainly(session);
    const double baseline = seconds(b0, Clock::now());

    RekContext ctx;
    ctx.attachSession(&session);
    ctx.settings.XMLPath = dir.filePath(QStringLiteral("xml")) + QLatin1Char('/');
    QDir().mkpath(ctx.settings.XMLPath);
    ctx.settings.DvsIzp = QStringLiteral("12345678");
    ctx.datumOd = ctx.datumDo = QDate(2026, 11, 30);
    ctx.xmlZaVseZbirne = true;
    openAnalyticWorking(ctx.odsNabor, ctx.datumOd, ctx.datumDo);
    openSummarySelection(ctx.odsREK2_Zbir, QStringLiteral("1, 2, 3, 4, 5, 6, 7, 8, 9, 10"));

    const auto t0 = Clock::now();
    XmlReturnRun run(ctx);
    const XmlRunResult r = run.run();
    const double whole = seconds(t0, Clock::now());
    std::printf("rows %d, returns written %lld\n", rows + 900, static_cast<long long>(r.files.size()));
    std::printf("whole XML run with history move: %.3f s\n", whole);
    std::printf("plain query over the same rows: %.3f s (ratio %.1f)\n", baseline, whole / baseline);
    return r.files.size() == 10 ? 0 : 1;
}
