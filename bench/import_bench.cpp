// Spreadsheet import of a 10,000-row .xlsx written by libxlsxwriter:
//  (a) plain unpacking of the sheet: its parts decompressed and parsed as
//      XML, every value taken out (what an xlsx-to-csv converter does);
//  (b) reading it into the typed table (readWorkbook), against (a), and the
//      memory it takes against the sheet's unpacked size;
//  (c) the floor: the same rows inserted by the bare engine, one transaction
//      per row, on a database of the same settings;
//  (d) the whole import (reading, one transaction per row with its checks,
//      re-grouping), against (c).
//
//   cmake -S . -B build-bench -DREK2_BUILD_BENCH=ON && cmake --build build-bench --target import_bench
//   build-bench/bench/import_bench [rows]
#include "bench_util.h"
#include "db/schema.h"
#include "db/session.h"
#include "import/sheet_import.h"
#include "import/workbook.h"
#include "returns/context.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <xlsxwriter.h>
#include <zip.h>

#include <cstdio>
#include <vector>

using namespace rek2;
using namespace rek2::bench;

namespace {

const QDate kDay(2026, 12, 9);

bool writeSheet(const QString& path, int rows)
{
    lxw_workbook* wb = workbook_new(path.toUtf8().constData());
    lxw_worksheet* ws = workbook_add_worksheet(wb, nullptr);
    lxw_format* date = workbook_add_format(wb);
    format_set_num_format(date, "dd.mm.yyyy");
    const char* header[] = {"Vrsta", "Datum",      "Datum davka", "DŠ",     "ID",       "Priimek in ime",
                            "Ime",   "Priimek",    "Rez",         "Država", "Ugodnost", "Oznaka",
                            "Bruto", "Obračunani", "Plačani",     "Tuji",   "Kupon",    "VP"};
    for (int c = 0; c < 18; ++c)
        worksheet_write_string(ws, 0, lxw_col_t(c), header[c], nullptr);
    lxw_datetime day = {kDay.year(), kDay.month(), kDay.day(), 0, 0, 0};
    for (int i = 0; i < rows; ++i) {
        const lxw_row_t r = lxw_row_t(i + 1);
        const double gross = 50 + (i * 37) % 900 + 0.25 * (i % 4);
        worksheet_write_number(ws, r, 0, 1901, nullptr);
        worksheet_write_datetime(ws, r, 1, &day, date);
        worksheet_write_string(ws, r, 3, QByteArray::number(20000000 + i).constData(), nullptr);
        worksheet_write_string(ws, r, 6, QStringLiteral("Ime%1").arg(i).toUtf8().constData(), nullptr);
        worksheet_write_string(ws, r, 7, QStringLiteral("Priimek%1").arg(i % 977).toUtf8().constData(),
                               nullptr);
        worksheet_write_string(ws, r, 8, "R", nullptr);
        worksheet_write_number(ws, r, 10, 0, nullptr);
        worksheet_write_string(ws, r, 11, "5400", nullptr);
        worksheet_write_number(ws, r, 12, gross, nullptr);
        worksheet_write_number(ws, r, 13, gross * 0.25, nullptr);
        worksheet_write_number(ws, r, 14, gross * 0.25, nullptr);
        worksheet_write_number(ws, r, 16, 501 + i % 3, nullptr);
        worksheet_write_string(ws, r, 17, i % 3 == 0 ? "KRKG" : (i % 3 == 1 ? "PETG" : "TLSG"), nullptr);
    }
    return workbook_close(wb) == LXW_NO_ERROR;
}

// (a): every part decompressed, the shared strings and the sheet parsed,
// each value taken out as text. Returns the unpacked size of all parts.
qint64 plainUnpack(const QString& path, qint64& values)
{
    int error = 0;
    zip_t* z = zip_open(path.toUtf8().constData(), ZIP_RDONLY, &error);
    if (!z)
        return -1;
    qint64 unpacked = 0;
    QByteArray sheet, strings;
    for (zip_int64_t i = 0; i < zip_get_num_entries(z, 0); ++i) {
        zip_stat_t st;
        zip_stat_index(z, zip_uint64_t(i), 0, &st);
        QByteArray data(qsizetype(st.size), Qt::Uninitialized);
        zip_file_t* f = zip_fopen_index(z, zip_uint64_t(i), 0);
        zip_fread(f, data.data(), st.size);
        zip_fclose(f);
        unpacked += qint64(st.size);
        if (QByteArray(st.name) == "xl/worksheets/sheet1.xml")
            sheet = data;
        else if (QByteArray(st.name) == "xl/sharedStrings.xml")
            strings = data;
    }
    zip_discard(z);
    std::vector<QString> shared;
    QXmlStreamReader s(strings);
    while (!s.atEnd())
        if (s.readNext() == QXmlStreamReader::StartElement && s.name() == QLatin1String("t"))
            shared.push_back(s.readElementText());
    QXmlStreamReader x(sheet);
    std::vector<QString> out;
    bool isShared = false;
    while (!x.atEnd()) {
        if (x.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (x.name() == QLatin1String("c"))
            isShared = x.attributes().value(QLatin1String("t")) == QLatin1String("s");
        else if (x.name() == QLatin1String("v")) {
            const QString v = x.readElementText();
            out.push_back(isShared ? shared.at(size_t(v.toInt())) : v);
        }
    }
    values = qint64(out.size());
    return unpacked;
}

void prepareDatabase(const QString& path)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench-prep"));
        db.setDatabaseName(path);
        db.open();
        createSchema(db);
        insertSifBasics(db);
        QSqlQuery q(db);
        for (const char* sql :
             {"INSERT INTO SFVP (SFVP, KRT, NZV, SFGLVENT, SFOSBIZD) VALUES (1, 'KRKG', 'Krka', NULL, 10), "
              "(2, 'PETG', 'Petrol', NULL, 10), (3, 'TLSG', 'Telekom', NULL, 10)",
              "INSERT INTO KPN (SFKPN, SFVP, SFOBR, OBROBRBRT, STKPN) VALUES (501, 1, 'D', 2, 15), "
              "(502, 2, 'D', 1, 7), (503, 3, 'D', 1, 3)",
              "INSERT INTO DVK_STP VALUES ('S', 'D', '2007-01-01', 25)",
              "INSERT INTO REK2_IMPORT_PARAMS VALUES (2, 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', "
              "'K', "
              "'L', 'M', 'N', 'O', 'P', 'Q', 'R')"})
            if (!q.exec(QString::fromLatin1(sql)))
                std::fprintf(stderr, "%s\n", q.lastError().text().toUtf8().constData());
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench-prep"));
    Session s; // the program's settings (WAL) stay in the file
    s.LogonDatabase = path;
    s.LogOn();
    s.LogOff();
}

// (c): the same rows, one bare INSERT in its own transaction each.
double floorInsert(const QString& path, int rows)
{
    double elapsed = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench-floor"));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(db);
        q.prepare(QStringLiteral(
            "INSERT INTO REK2_ANAL (ID_REK2_ANAL, ID_REK2_ZBIR, DVS, IME, PRIIMEK, NAZIV, REZ, UGO_MED_POG, "
            "SIF_SFDOH, SIF_VRSTE_DOH, BRUTO, DAV_ODT_OBR, DAV_ODT_PLC, STATUS, SFKPN, SFVP, DATUM_IZP_DIV) "
            "VALUES (?, 0, ?, ?, ?, ?, 'R', '0', '5400', '1901', ?, ?, ?, 'O', ?, ?, ?)"));
        QSqlQuery begin(db), commit(db);
        const auto t0 = Clock::now();
        for (int i = 0; i < rows; ++i) {
            const double gross = 50 + (i * 37) % 900 + 0.25 * (i % 4);
            begin.exec(QStringLiteral("BEGIN IMMEDIATE"));
            q.addBindValue(i + 1);
            q.addBindValue(QString::number(20000000 + i));
            q.addBindValue(QStringLiteral("Ime%1").arg(i));
            q.addBindValue(QStringLiteral("Priimek%1").arg(i % 977));
            q.addBindValue(QStringLiteral("Ime%1 Priimek%2").arg(i).arg(i % 977));
            q.addBindValue(gross);
            q.addBindValue(gross * 0.25);
            q.addBindValue(gross * 0.25);
            q.addBindValue(501 + i % 3);
            q.addBindValue(QStringLiteral("KRKG"));
            q.addBindValue(kDay.toString(Qt::ISODate));
            if (!q.exec())
                std::fprintf(stderr, "%s\n", q.lastError().text().toUtf8().constData());
            commit.exec(QStringLiteral("COMMIT"));
        }
        elapsed = seconds(t0, Clock::now());
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench-floor"));
    return elapsed;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 10000;
    QTemporaryDir dir;
    const QString sheet = dir.filePath(QStringLiteral("izplacila.xlsx"));
    if (!writeSheet(sheet, rows)) {
        std::fprintf(stderr, "libxlsxwriter could not write the sheet\n");
        return 1;
    }

    {
        QFile warm(sheet); // the file in the cache for both readers
        warm.open(QIODevice::ReadOnly);
        warm.readAll();
    }
    // Reading first, so that its memory is not memory (a) freed and left.
    const double before = residentMiB();
    resetPeak();
    auto t0 = Clock::now();
    double reading = 0, tableMiB = 0;
    {
        const importxls::SheetTable table = importxls::readWorkbook(sheet);
        reading = seconds(t0, Clock::now());
        tableMiB = peakMiB() - before;
        if (table.rowCount() != rows + 1)
            std::fprintf(stderr, "read %d rows, expected %d\n", table.rowCount(), rows + 1);
    }

    qint64 values = 0;
    t0 = Clock::now();
    const qint64 unpacked = plainUnpack(sheet, values);
    const double plain = seconds(t0, Clock::now());

    const QString floorDb = dir.filePath(QStringLiteral("floor.db"));
    const QString importDb = dir.filePath(QStringLiteral("import.db"));
    prepareDatabase(floorDb);
    prepareDatabase(importDb);
    const double floor = floorInsert(floorDb, rows);

    Session session;
    session.LogonDatabase = importDb;
    session.LogOn();
    SilentOperator op;
    RekContext ctx;
    ctx.attachSession(&session);
    ctx.op = &op;
    ctx.datumOd = ctx.datumDo = kDay;
    t0 = Clock::now();
    const importxls::ImportOutcome out = importxls::SheetImport(ctx, dir.path()).run(sheet);
    const double whole = seconds(t0, Clock::now());

    std::printf("sheet: %d rows, %.1f KiB file, %.1f KiB unpacked, %lld values\n", rows,
                QFile(sheet).size() / 1024.0, unpacked / 1024.0, static_cast<long long>(values));
    std::printf("(a) plain unpacking and XML parse   %8.3f s\n", plain);
    std::printf("(b) reading into the typed table    %8.3f s   ratio to (a) %5.2f   (goal <= 2)\n", reading,
                reading / plain);
    std::printf("    memory of reading               %8.1f MiB ratio to unpacked %5.2f   (goal <= 3)\n",
                tableMiB, tableMiB * 1024 * 1024 / double(unpacked));
    std::printf("(c) floor: bare inserts, 1 tx/row   %8.3f s\n", floor);
    std::printf("(d) whole import (%d rows stored)   %8.3f s   ratio to (c) %5.2f   (goal <= 3)\n",
                int(out.stored.size()), whole, whole / floor);
    return 0;
}
