// The data grid over a large dataset: what showing and scrolling it costs on
// top of opening the dataset, measured in the same run.
//   (a) baseline: DataSet::Open of the analytic working statement
//   (b) binding the grid and painting its first page
//   (c) jumping to the last row and back, painting each time
//   (d) 200 page-downs, each painted
//   memory: resident MiB the dataset holds, and what the grid adds
//
//   cmake -S . -B build -DREK2_BUILD_BENCH=ON && cmake --build build --target grid_bench
//   QT_QPA_PLATFORM=offscreen build/bench/grid_bench [rows...]      (default 100000)
#include "bench_util.h"
#include "db/dataset.h"
#include "db/schema.h"
#include "db/session.h"
#include "returns/working_statements.h"
#include "ui/grid/tfwwdbgrid.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QSqlDatabase>
#include <QSqlQuery>
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
                   "'5400', 1000.0 + i % 977 + 0.25, 25.0, 25.0, 0, '1901', '2026-12-10', 'O', 1, 'KRKG', "
                   "'Ime', "
                   "'Priimek' || i, 'N' FROM n")
                   .arg(rows));
        q.exec(QStringLiteral("COMMIT"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));
}

void press(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QKeyEvent e(QEvent::KeyPress, key, mods);
    QApplication::sendEvent(w, &e);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QList<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes << QString::fromLatin1(argv[i]).toInt();
    if (sizes.isEmpty())
        sizes << 100000;
    std::printf("%8s %9s %9s %7s %9s %11s %9s %9s\n", "rows", "open ms", "show ms", "show/op", "jump ms",
                "pgdn ms/pg", "ds MiB", "grid MiB");
    for (int rows : sizes) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bench.db"));
        fill(path, rows);
        Session s;
        s.LogonDatabase = path;
        s.LogOn();

        const double m0 = residentMiB();
        DataSet ds(QStringLiteral("odsNabor"));
        ds.SetSession(&s);
        const auto a0 = Clock::now();
        openAnalyticWorking(ds, QDate(2026, 12, 1), QDate(2026, 12, 31));
        const auto a1 = Clock::now();
        const double m1 = residentMiB();

        {
            TFwwDBGrid grid;
            grid.setMultiSelect(true);
            grid.resize(1000, 600);
            const auto b0 = Clock::now();
            grid.setDataSet(&ds);
            grid.show();
            grid.grab();
            const auto b1 = Clock::now();
            const double m2 = residentMiB();

            grid.setFocus();
            const auto c0 = Clock::now();
            press(&grid, Qt::Key_End, Qt::ControlModifier);
            grid.grab();
            press(&grid, Qt::Key_Home, Qt::ControlModifier);
            grid.grab();
            const auto c1 = Clock::now();

            const int pages = 200;
            const auto d0 = Clock::now();
            for (int i = 0; i < pages; ++i) {
                press(&grid, Qt::Key_PageDown);
                grid.grab();
            }
            const auto d1 = Clock::now();
            if (ds.CurrentRow() <= 0)
                std::printf("the dataset did not follow the grid\n");

            std::printf("%8d %9.1f %9.1f %7.2f %9.1f %11.2f %9.1f %9.1f\n", ds.RecordCount(), ms(a0, a1),
                        ms(b0, b1), ms(b0, b1) / ms(a0, a1), ms(c0, c1), ms(d0, d1) / pages, m1 - m0,
                        m2 - m1);
            grid.setDataSet(nullptr);
        }
        ds.Close();
        s.LogOff();
    }
    return 0;
}
