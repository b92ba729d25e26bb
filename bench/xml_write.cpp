// One return of 100,000 analytic items written as its rows are read (the
// rows already in memory, as UTF-8 texts the way the database hands them
// out), against writing the same bytes with a plain buffered write in the
// same run; and the writer's memory against the file's size.
//
//   cmake -S . -B build -DREK2_BUILD_BENCH=ON && cmake --build build --target xml_write_bench
//   build/bench/xml_write_bench [items]
#include "base/durable_file.h"
#include "bench_util.h"
#include "xmlreturn/return_document.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace rek2;
using namespace rek2::bench;

namespace {

// One row as the database hands it out: UTF-8 texts, numbers.
struct DemoRow
{
    QByteArray dvs, identSt, ime, priimek, naziv, rez, drz, sifSfdoh;
    double bruto, davOdtObr, davOdtPlc, davOdtOdbTuj;
};

std::vector<DemoRow> demoRows(int n)
{
    static const char* const first[] = {"Janez", "Marija", "Ana", "Franc", "Šime", "Žiga"};
    static const char* const last[] = {"Novak", "Horvat", "Kovačič", "Krajnc", "Zupančič", "Potočnik"};
    std::vector<DemoRow> rows(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        DemoRow& a = rows[std::size_t(i)];
        const bool foreign = i % 10 == 0;
        if (foreign)
            a.identSt = QByteArray("DE") + QByteArray::number(900000 + i);
        else
            a.dvs = QByteArray::number(10000000 + i * 7 % 89999999);
        if (i % 17 == 0) {
            a.naziv = QByteArray("Podjetje ") + QByteArray::number(i) + " & partnerji d.o.o.";
        } else {
            a.ime = first[i % 6];
            a.priimek = last[(i / 6) % 6];
        }
        a.rez = foreign ? "N" : "R";
        a.drz = foreign ? "DE" : "SI";
        a.sifSfdoh = "5400";
        const double gross = 10.0 + (i % 5000) * 1.37;
        a.bruto = gross;
        a.davOdtObr = gross * 0.25;
        a.davOdtPlc = gross * 0.25;
        a.davOdtOdbTuj = foreign ? gross * 0.05 : 0.0;
    }
    return rows;
}

// Streams the return into `out`; false when a write failed.
bool writeReturn(QIODevice& out, const std::vector<DemoRow>& rows, const ReturnPayer& payer,
                 const ReturnHeader& header, std::size_t* memory)
{
    ReturnWriter writer(out, payer, header);
    ReturnItem item;
    for (const DemoRow& r : rows) {
        item.dvs = r.dvs;
        item.identSt = r.identSt;
        item.ime = r.ime;
        item.priimek = r.priimek;
        item.naziv = r.naziv;
        item.rez = r.rez;
        item.drz = r.drz;
        item.sifSfdoh = r.sifSfdoh;
        item.bruto = r.bruto;
        item.davOdtObr = r.davOdtObr;
        item.davOdtPlc = r.davOdtPlc;
        item.davOdtOdbTuj = r.davOdtOdbTuj;
        writer.addItem(item);
    }
    if (memory)
        *memory = writer.memoryUsage();
    return writer.finish();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir dir;
    const std::vector<DemoRow> rows = demoRows(n);

    ReturnPayer payer{12345678,
                      QStringLiteral("Vrednostni papirji d.d."),
                      QStringLiteral("Tivolska 48"),
                      QStringLiteral("Marija Horvat"),
                      QStringLiteral("01 300 00 00"),
                      false};
    ReturnHeader header;
    header.documentType = QStringLiteral("O");
    header.documentTypeName = QStringLiteral("Original");
    header.sifVrsteDoh = QStringLiteral("1901");
    header.mesecLeto = QStringLiteral("11.2026");
    header.datumIzp = QDate(2026, 11, 30);

    const int rounds = 5;
    std::vector<double> streamed, plain, durable;
    std::size_t writerBytes = 0;
    qint64 fileBytes = 0;
    for (int r = 0; r < rounds; ++r) {
        // The writer into a plain file: what our layers add to the write.
        const QString path = dir.filePath(QStringLiteral("return.xml"));
        const auto t0 = Clock::now();
        {
            QFile f(path);
            if (!f.open(QIODevice::WriteOnly) || !writeReturn(f, rows, payer, header, &writerBytes))
                return 1;
        }
        streamed.push_back(seconds(t0, Clock::now()));

        // Baseline: the same bytes, already in memory, through a plain
        // buffered write in 64 KiB pieces.
        QFile in(path);
        if (!in.open(QIODevice::ReadOnly))
            return 1;
        const QByteArray bytes = in.readAll();
        fileBytes = bytes.size();
        const auto t2 = Clock::now();
        {
            QFile out(dir.filePath(QStringLiteral("plain.xml")));
            if (!out.open(QIODevice::WriteOnly))
                return 1;
            for (qsizetype off = 0; off < bytes.size(); off += 65536)
                out.write(bytes.constData() + off, std::min<qsizetype>(65536, bytes.size() - off));
            out.close();
        }
        plain.push_back(seconds(t2, Clock::now()));

        // As the XML run writes it: every write checked, synced to disk.
        const auto t4 = Clock::now();
        {
            DurableFile f(dir.filePath(QStringLiteral("durable.xml.part")));
            if (!f.open() || !writeReturn(f, rows, payer, header, nullptr) || !f.finish())
                return 1;
            f.close();
        }
        durable.push_back(seconds(t4, Clock::now()));
    }
    for (auto* v : {&streamed, &plain, &durable})
        std::sort(v->begin(), v->end());
    const double t = streamed[rounds / 2], p = plain[rounds / 2];
    std::printf("items %d, file %.1f MB\n", n, double(fileBytes) / 1e6);
    std::printf("return written as its rows are read: %.3f s (median of %d)\n", t, rounds);
    std::printf("plain buffered write of the same bytes: %.3f s\n", p);
    std::printf("ratio: %.2f (goal <= 3)\n", t / p);
    std::printf("the same return written durably (checked writes, fsync): %.3f s\n", durable[rounds / 2]);
    std::printf("writer memory: %.2f MB = %.4f x file size (goal <= 2)\n", double(writerBytes) / 1e6,
                double(writerBytes) / double(fileBytes));
    return 0;
}
