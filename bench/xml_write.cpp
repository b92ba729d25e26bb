// One return of 100,000 analytic items: building its tree and writing the
// file, against writing the same bytes with a plain buffered write in the
// same run; and the tree's memory against the file's size.
//
//   cmake -S . -B build -DREK2_BUILD_BENCH=ON && cmake --build build --target xml_write_bench
//   build/bench/xml_write_bench [items]
#include "bench_util.h"
#include "xmlreturn/return_document.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace rek2;
using namespace rek2::bench;

namespace {

std::vector<ReturnItem> demoItems(int n)
{
    static const char* const first[] = {"Janez", "Marija", "Ana", "Franc", "Šime", "Žiga"};
    static const char* const last[] = {"Novak", "Horvat", "Kovačič", "Krajnc", "Zupančič", "Potočnik"};
    std::vector<ReturnItem> items(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        ReturnItem& a = items[std::size_t(i)];
        const bool foreign = i % 10 == 0;
        if (foreign)
            a.identSt = QStringLiteral("DE%1").arg(900000 + i);
        else
            a.dvs = QString::number(10000000 + i * 7 % 89999999);
        if (i % 17 == 0) {
            a.naziv = QStringLiteral("Podjetje %1 & partnerji d.o.o.").arg(i);
        } else {
            a.ime = QString::fromUtf8(first[i % 6]);
            a.priimek = QString::fromUtf8(last[(i / 6) % 6]);
        }
        a.rez = foreign ? QStringLiteral("N") : QStringLiteral("R");
        a.drz = foreign ? QStringLiteral("DE") : QStringLiteral("SI");
        a.sifSfdoh = QStringLiteral("5400");
        const double gross = 10.0 + (i % 5000) * 1.37;
        a.bruto = gross;
        a.davOdtObr = gross * 0.25;
        a.davOdtPlc = gross * 0.25;
        a.davOdtOdbTuj = foreign ? gross * 0.05 : 0.0;
    }
    return items;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir dir;
    const std::vector<ReturnItem> items = demoItems(n);

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
    std::vector<double> tree, plain, buildOnly;
    std::size_t treeBytes = 0;
    qint64 fileBytes = 0;
    for (int r = 0; r < rounds; ++r) {
        const QString path = dir.filePath(QStringLiteral("return.xml"));
        const auto t0 = Clock::now();
        {
            xml::XmlDocument doc;
            doc.reserve(std::size_t(n) * 13 + 64, qsizetype(n) * 120 + 4096);
            ReturnDocumentBuilder builder(doc, payer, header);
            for (const ReturnItem& item : items)
                builder.addItem(item);
            buildOnly.push_back(seconds(t0, Clock::now()));
            QSaveFile f(path);
            if (!f.open(QIODevice::WriteOnly) || !doc.save(f) || !f.commit())
                return 1;
            treeBytes = doc.memoryUsage();
        }
        const auto t1 = Clock::now();
        tree.push_back(seconds(t0, t1));

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
    }
    std::sort(tree.begin(), tree.end());
    std::sort(plain.begin(), plain.end());
    std::sort(buildOnly.begin(), buildOnly.end());
    const double t = tree[rounds / 2], p = plain[rounds / 2];
    std::printf("items %d, file %.1f MB\n", n, double(fileBytes) / 1e6);
    std::printf("build+write return: %.3f s (median of %d)\n", t, rounds);
    std::printf("  of which building the tree: %.3f s\n", buildOnly[rounds / 2]);
    std::printf("plain buffered write of the same bytes: %.3f s\n", p);
    std::printf("ratio: %.2f (goal <= 3)\n", t / p);
    std::printf("tree memory: %.1f MB = %.2f x file size (goal <= 2)\n", double(treeBytes) / 1e6,
                double(treeBytes) / double(fileBytes));
    return 0;
}
