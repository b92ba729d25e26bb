// Loading the analytic grid's dataset with N rows, against the floor of
// reading the same result with a bare QSqlQuery in the same run:
//   (a) floor: QSqlQuery over the rewritten statement, every value read
//   (b) DataSet::Open of the analytic working statement
//   (c) resident memory the open dataset holds, per row
//
//   cmake -S . -B build -DREK2_BUILD_BENCH=ON && cmake --build build --target dataset_load_bench
//   build/bench/dataset_load_bench [rows...]        (default 100000)
#include "bench_util.h"
#include "db/dataset.h"
#include "db/schema.h"
#include "db/session.h"
#include "returns/working_statements.h"

#include <QCoreApplication>
#include <QDate>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>

using namespace rek2;
using namespace rek2::bench;

namespace {

void fill(const QString& path, int rows)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
        db.setDatabaseName(path);
        db.open();
        createSchema(db);
        QSqlQuery q(db);
        q.exec(QStringLiteral("BEGIN"));
        q.exec(QStringLiteral(
                   "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                   "INSERT INTO REK2_ANAL (ID_REK2_ANAL, ID_REK2_ZBIR, DURS_ID_DOK, DVS, IDENT_ST, NAZIV, "
                   "REZ, DRZ, "
                   "UGO_MED_POG, SIF_SFDOH, BRUTO, DAV_ODT_OBR, DAV_ODT_PLC, DAV_ODT_ODB_TUJ, SIF_VRSTE_DOH, "
                   "DATUM_IZP_DIV, STATUS, SFKPN, SFVP, IME, PRIIMEK, ZNIZANASTOPNJA) "
                   "SELECT i, 1, '0', printf('%08d', 10000000 + i), NULL, 'Priimek' || i || ' Ime', "
                   "CASE WHEN i % 10 = 0 THEN 'N' ELSE 'R' END, CASE WHEN i % 10 = 0 THEN 'AT' ELSE 'SI' "
                   "END, '0', "
                   "'5400', 100.0 + i % 977, 25.0, 25.0, 0, '1901', '2026-12-10', 'O', 1, 'KRKG', 'Ime', "
                   "'Priimek' || i, 'N' FROM n")
                   .arg(rows));
        q.exec(QStringLiteral("COMMIT"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QList<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes << QString::fromLatin1(argv[i]).toInt();
    if (sizes.isEmpty())
        sizes << 100000;
    std::printf("%8s %10s %10s %7s %10s %9s\n", "rows", "floor s", "open s", "ratio", "MiB held", "B/row");
    for (int rows : sizes) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bench.db"));
        fill(path, rows);
        Session s;
        s.LogonDatabase = path;
        s.LogOn();

        // (a) the floor: the same rewritten text through a bare QSqlQuery.
        const Dialect::Translation t =
            s.dialect().translate(analyticWorkingStatement().join(QLatin1Char('\n')));
        const auto a0 = Clock::now();
        {
            QSqlQuery q(s.database());
            q.setForwardOnly(true);
            q.prepare(t.sql);
            for (int i = 0; i < t.variableNames.size(); ++i)
                q.addBindValue(i % 2 == 0 ? QStringLiteral("2026-12-01") : QStringLiteral("2026-12-31"));
            q.exec();
            qint64 n = 0;
            const int columns = q.record().count();
            while (q.next())
                for (int c = 0; c < columns; ++c)
                    n += q.value(c).isNull() ? 0 : 1;
            if (n == 0)
                std::printf("no rows\n");
        }
        const auto a1 = Clock::now();

        // (b) the dataset, (c) what it holds.
        const double before = residentMiB();
        DataSet ds(QStringLiteral("odsNabor"));
        ds.SetSession(&s);
        const auto b0 = Clock::now();
        openAnalyticWorking(ds, QDate(2026, 12, 1), QDate(2026, 12, 31));
        const auto b1 = Clock::now();
        const double held = residentMiB() - before;
        std::printf("%8d %10.3f %10.3f %7.2f %10.1f %9.0f\n", ds.RecordCount(), seconds(a0, a1),
                    seconds(b0, b1), seconds(b0, b1) / seconds(a0, a1), held,
                    held * 1024 * 1024 / std::max(1, ds.RecordCount()));
        ds.Close();
        s.LogOff();
    }
    return 0;
}
