#include "gridexport/sample_rows.h"
#include "ui/grid/list_print.h"

#include <QDir>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using rek2::test::SampleRows;

namespace {

QVector<QVector<QVariant>> manyRows(int n)
{
    QVector<QVector<QVariant>> rows;
    for (int i = 1; i <= n; ++i)
        rows.push_back(
            {i, QStringLiteral("Prejemnik številka %1").arg(i), i * 1.25, QDate(2026, 1, 1).addDays(i)});
    return rows;
}

// Prints to a PDF file through the same code the print dialog leads to.
QString printToPdf(const SampleRows& s, const QString& path, int from = 0, int to = 0)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageSize(QPageSize(QPageSize::A4));
    if (from > 0)
        printer.setFromTo(from, to);
    QFont font(QStringLiteral("DejaVu Sans"), 8);
    EXPECT_TRUE(
        rek2::printList(printer, QStringLiteral("Seznam izplačil za marec"), s.ds, s.columns(), font));
    return path;
}

// pdftotext (poppler-utils) reads what was printed.
QString textOf(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(p.waitForFinished(30000));
    return QString::fromUtf8(p.readAllStandardOutput());
}

// pdftoppm turns the pages into PNG files; returns how many.
int pngPages(const QString& pdf, const QString& prefix)
{
    QProcess p;
    p.start(QStringLiteral("pdftoppm"),
            {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("50"), pdf, prefix});
    EXPECT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0);
    const QFileInfo fi(prefix);
    return int(QDir(fi.path()).entryList({fi.fileName() + QStringLiteral("*.png")}).size());
}

} // namespace

TEST(ListPrint, PagesHeaderTitleRowsAndContinuationMarks)
{
    QTemporaryDir dir;
    dir.setAutoRemove(qEnvironmentVariableIsEmpty("REK2_KEEP_PDF"));
    if (!dir.autoRemove())
        std::printf("%s\n", qPrintable(dir.path()));
    SampleRows s(manyRows(150));
    s.ds.SetRecNo(7);
    const QString pdf = printToPdf(s, dir.filePath("seznam.pdf"));
    const int pages = pngPages(pdf, dir.filePath("stran"));
    EXPECT_GE(pages, 2);
    const QString text = textOf(pdf);
    const QStringList pageTexts = text.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    ASSERT_EQ(pageTexts.size(), pages);
    for (int i = 0; i < pages; ++i) {
        EXPECT_TRUE(pageTexts[i].contains(QStringLiteral(", Stran %1").arg(i + 1))) << i;
        EXPECT_TRUE(pageTexts[i].contains(QStringLiteral("Seznam izplačil za marec"))) << i;
        EXPECT_TRUE(pageTexts[i].contains(QStringLiteral("Naziv prejemnika"))) << i;
        // "> > >" at the end of every page but the last (pdftotext may close up the blanks).
        EXPECT_EQ(pageTexts[i].contains(QRegularExpression(QStringLiteral(">\\s*>\\s*>"))), i + 1 < pages)
            << i;
    }
    EXPECT_TRUE(text.contains(QStringLiteral("Prejemnik številka 150")));
    EXPECT_TRUE(text.contains(QStringLiteral("187,50"))); // 150 * 1,25
    EXPECT_EQ(s.ds.CurrentRow(), 6);                      // the dataset stays on its row
}

TEST(ListPrint, PageRangeTwoToTwoPrintsOnlyPageTwo)
{
    QTemporaryDir dir;
    SampleRows s(manyRows(150));
    const QString pdf = printToPdf(s, dir.filePath("stran2.pdf"), 2, 2);
    EXPECT_EQ(pngPages(pdf, dir.filePath("p")), 1);
    const QString text = textOf(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral(", Stran 2")));
    EXPECT_FALSE(text.contains(QStringLiteral(", Stran 1")));
    EXPECT_FALSE(text.contains(QStringLiteral("Prejemnik številka 1 ")));
}

TEST(ListPrint, EmptyDataSetPrintsHeaderAndColumnHeaderOnly)
{
    QTemporaryDir dir;
    SampleRows s({});
    const QString pdf = printToPdf(s, dir.filePath("prazno.pdf"));
    EXPECT_EQ(pngPages(pdf, dir.filePath("e")), 1);
    const QString text = textOf(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral(", Stran 1")));
    EXPECT_TRUE(text.contains(QStringLiteral("Šifra")));
}

TEST(ListPrint, AColumnWiderThanThePageIsCutAndLaterOnesAreLeftOut)
{
    QTemporaryDir dir;
    SampleRows s(manyRows(3));
    QVector<rek2::GridColumn> columns = s.columns();
    columns[1].width = 400; // far wider than a portrait page
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("siroko.pdf"));
    ASSERT_TRUE(rek2::printList(printer, QStringLiteral("Široko"), s.ds, columns,
                                QFont(QStringLiteral("DejaVu Sans"), 8)));
    const QString text = textOf(dir.filePath("siroko.pdf"));
    EXPECT_TRUE(text.contains(QStringLiteral("Naziv prejemnika")));
    EXPECT_FALSE(text.contains(QStringLiteral("Znesek")));
    EXPECT_FALSE(text.contains(QStringLiteral("Datum")));
}
