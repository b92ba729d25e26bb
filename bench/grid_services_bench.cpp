// The grid services on the 100,000-row analytic grid, each against a floor
// measured in the same run:
//   floor A: reading the same rows with one plain query (every column)
//   copy to clipboard, export to dBase / Paradox / fixed text, "Grupiranje"
//   with one group level (copy to the local table included)   -> ratio to A
//   floor B: the same cell texts drawn at fixed positions into a PDF with
//   one QPainter pass
//   list print to PDF                                           -> ratio to B
// Goals: at most 5 x floor A, at most 3 x floor B.
//
//   cmake -S . -B build -DREK2_BUILD_BENCH=ON && cmake --build build --target grid_services_bench
//   QT_QPA_PLATFORM=offscreen build/bench/grid_services_bench [rows]      (default 100000)
#include "bench_util.h"
#include "db/dataset.h"
#include "db/schema.h"
#include "db/session.h"
#include "gridexport/clipboard_text.h"
#include "gridexport/export_table.h"
#include "gridexport/print_table.h"
#include "returns/working_statements.h"
#include "ui/grid/list_print.h"

#include <QApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
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
        q.exec(
            QStringLiteral(
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                "INSERT INTO REK2_ANAL (ID_REK2_ANAL, ID_REK2_ZBIR, DURS_ID_DOK, DVS, IDENT_ST, NAZIV, "
                "REZ, DRZ, UGO_MED_POG, SIF_SFDOH, BRUTO, DAV_ODT_OBR, DAV_ODT_PLC, DAV_ODT_ODB_TUJ, "
                "SIF_VRSTE_DOH, DATUM_IZP_DIV, STATUS, SFKPN, SFVP, IME, PRIIMEK, ZNIZANASTOPNJA) "
                "SELECT i, 1 + i % 40, '0', printf('%08d', 10000000 + i), NULL, 'Priimek' || i || ' Ime', "
                "CASE WHEN i % 10 = 0 THEN 'N' ELSE 'R' END, CASE WHEN i % 10 = 0 THEN 'AT' ELSE 'SI' END, "
                "'0', '5400', 1000.0 + i % 977 + 0.25, 25.0, 25.0, 0, '1901', '2026-12-10', 'O', 1, "
                "'KRKG', 'Ime', 'Priimek' || i, 'N' FROM n")
                .arg(rows));
        q.exec(QStringLiteral("COMMIT"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));
}

double plainQueryFloor(const QString& path)
{
    double ms0 = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("floor"));
        db.setDatabaseName(path);
        db.open();
        const auto t0 = Clock::now();
        QSqlQuery q(db);
        q.setForwardOnly(true);
        q.exec(QStringLiteral("SELECT * FROM REK2_ANAL ORDER BY ID_REK2_ANAL"));
        qint64 sink = 0;
        while (q.next())
            for (int c = 0; c < q.record().count(); ++c)
                sink += q.value(c).toString().size();
        ms0 = ms(t0, Clock::now());
        if (sink == 0)
            std::printf("no rows read\n");
    }
    QSqlDatabase::removeDatabase(QStringLiteral("floor"));
    return ms0;
}

double pdfFloor(const DataSet& ds, QVector<GridColumn> columns, const QString& path)
{
    // The same cells as the list print draws: the columns that fit a page.
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        columns.resize(columnsThatFit(printer, columns, QFont(QStringLiteral("DejaVu Sans"), 8)));
    }
    const auto t0 = Clock::now();
    QPdfWriter pdf(path);
    pdf.setResolution(1200);
    QPainter p(&pdf);
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 8, QFont::Bold));
    const int lineHeight = 200, perPage = 60;
    for (int r = 0; r < ds.RecordCount(); ++r) {
        if (r > 0 && r % perPage == 0)
            pdf.newPage();
        int x = 100;
        const int y = 400 + (r % perPage) * lineHeight;
        for (const GridColumn& c : columns) {
            p.drawText(x, y, ds.DisplayText(r, c.field));
            x += 600;
        }
    }
    p.end();
    return ms(t0, Clock::now());
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rows = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 100000;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.db"));
    fill(path, rows);
    Session s;
    s.LogonDatabase = path;
    s.LogOn();
    DataSet ds(QStringLiteral("odsNabor"));
    ds.SetSession(&s);
    openAnalyticWorking(ds, QDate(2026, 12, 1), QDate(2026, 12, 31));
    const QVector<GridColumn> columns = visibleColumns(ds);
    std::printf("%d rows, %d visible columns\n", ds.RecordCount(), int(columns.size()));

    const double floorA = plainQueryFloor(path);
    std::printf("%-28s %9.1f ms\n", "floor: plain query", floorA);
    const auto report = [&](const char* what, double t) {
        std::printf("%-28s %9.1f ms  %5.2f x floor %s\n", what, t, t / floorA,
                    t / floorA <= 5 ? "ok" : "OVER GOAL 5");
    };

    auto t0 = Clock::now();
    const QString text = clipboardText(ds, columns, QStringLiteral("Analitika"));
    report("copy to clipboard text", ms(t0, Clock::now()));

    const struct
    {
        const char* name;
        const char* file;
        ExportFormat format;
    } exports[] = {{"export dBase", "e.dbf", ExportFormat::DBase},
                   {"export Paradox", "e.db", ExportFormat::Paradox},
                   {"export fixed text", "e.txt", ExportFormat::FixedText}};
    for (const auto& e : exports) {
        t0 = Clock::now();
        exportDataSet(ds, columns, dir.filePath(QString::fromLatin1(e.file)), e.format);
        report(e.name, ms(t0, Clock::now()));
    }

    t0 = Clock::now();
    {
        PrintTable table(ds, columns);
        table.groups = {{2, true}}; // by summary record: one level and the grand total
        table.copyRows();
        DataSet result;
        table.openGrouped(result);
        if (result.RecordCount() == 0)
            std::printf("no groups\n");
        result.Close();
    }
    report("Grupiranje, one level", ms(t0, Clock::now()));

    const double floorB = pdfFloor(ds, columns, dir.filePath(QStringLiteral("floor.pdf")));
    std::printf("%-28s %9.1f ms\n", "floor: one-pass PDF", floorB);
    t0 = Clock::now();
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("list.pdf")));
        printList(printer, QStringLiteral("Analitika"), ds, columns, QFont(QStringLiteral("DejaVu Sans"), 8));
    }
    const double t = ms(t0, Clock::now());
    std::printf("%-28s %9.1f ms  %5.2f x floor %s\n", "list print to PDF", t, t / floorB,
                t / floorB <= 3 ? "ok" : "OVER GOAL 3");
    ds.Close();
    s.LogOff();
    return 0;
}
