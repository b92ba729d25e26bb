// Reading workbooks written by writers that are not ours.
#include "import/workbook.h"

#include "workbooks.h"

#include <QDir>
#include <QJsonArray>
#include <QTemporaryDir>
#include <xlsxwriter.h>

using namespace rek2::importxls;
using rek2::test::date;
using rek2::test::makeWorkbook;

namespace {

QString render(const SheetTable& t)
{
    QString out;
    for (int r = 1; r <= t.rowCount(); ++r) {
        QStringList cells;
        for (int c = 1; c <= t.columnCount(); ++c) {
            const QVariant v = t.value(r, c);
            switch (v.typeId()) {
            case QMetaType::QDate:
                cells << "d:" + v.toDate().toString(Qt::ISODate);
                break;
            case QMetaType::Double:
                cells << "n:" + QString::number(v.toDouble(), 'g', 15);
                break;
            case QMetaType::QString:
                cells << "t:" + v.toString();
                break;
            default:
                cells << "";
            }
        }
        out += cells.join('|') + '\n';
    }
    return out;
}

QString errorOf(const QString& path)
{
    try {
        readWorkbook(path);
    } catch (const ImportError& e) {
        return e.message();
    }
    return QString();
}

} // namespace

// One table of rows, four writers: every kind gives the same typed values
// (the .csv turns digit texts into numbers, whose text is the same).
TEST(Workbook, SameSheetFromAllFourKinds)
{
    QTemporaryDir dir;
    const QJsonObject sheet{
        {"rows",
         QJsonArray{QJsonArray{"Izplačila dividend"}, QJsonArray{},
                    QJsonArray{1901, date("2024-05-03"), QJsonValue(), "Žužek Čeh", 1234.56, 25, "5400"},
                    QJsonArray{1902, date("2024-12-31"), "x;y", "Novak \"Jože\"", 0.1, -7.5, "5600"}}},
    };
    const QString expected = "t:Izplačila dividend||||||\n"
                             "||||||\n"
                             "n:1901|d:2024-05-03||t:Žužek Čeh|n:1234.56|n:25|t:5400\n"
                             "n:1902|d:2024-12-31|t:x;y|t:Novak \"Jože\"|n:0.1|n:-7.5|t:5600\n";
    for (const char* kind : {"xlsx", "ods", "xls"}) {
        const QString path = dir.filePath(QStringLiteral("sheet.") + kind);
        makeWorkbook(sheet, path);
        EXPECT_EQ(render(readWorkbook(path)), expected) << kind;
    }
    for (const char* encoding : {"utf-8", "cp1250"}) {
        const QString path = dir.filePath(QStringLiteral("sheet-%1.csv").arg(encoding));
        makeWorkbook(sheet, path, encoding);
        QString csvExpected = expected;
        csvExpected.replace("t:5400", "n:5400").replace("t:5600", "n:5600");
        EXPECT_EQ(render(readWorkbook(path)), csvExpected) << encoding;
    }
}

// Merged cells keep their value in the first cell, hidden rows are read
// like any other, a formula gives its saved value (none: empty), and a cell
// in the last row of the sheet makes that the last used row.
TEST(Workbook, MergedHiddenFormulaAndLastRow)
{
    QTemporaryDir dir;
    const QString openpyxl = dir.filePath("a.xlsx");
    makeWorkbook(
        QJsonObject{{"rows", QJsonArray{QJsonArray{"spojeno", QJsonValue(), 1}, QJsonArray{"skrita"}}},
                    {"merge", QJsonArray{"A1:B1"}},
                    {"hidden", QJsonArray{2}},
                    {"formulas", QJsonObject{{"D1", QJsonArray{"=1+2", QJsonValue()}}}}},
        openpyxl);
    EXPECT_EQ(render(readWorkbook(openpyxl)), "t:spojeno||n:1\nt:skrita||\n");

    const QString xw = dir.filePath("b.xlsx");
    lxw_workbook* wb = workbook_new(xw.toUtf8().constData());
    lxw_worksheet* ws = workbook_add_worksheet(wb, nullptr);
    lxw_format* dateFormat = workbook_add_format(wb);
    format_set_num_format(dateFormat, "d. m. yyyy");
    worksheet_write_formula_num(ws, 0, 0, "=1+2", nullptr, 3);
    lxw_datetime day = {2024, 5, 3, 0, 0, 0};
    worksheet_write_datetime(ws, 0, 1, &day, dateFormat);
    worksheet_write_string(ws, 1048575, 0, "zadnja", nullptr);
    ASSERT_EQ(workbook_close(wb), LXW_NO_ERROR);
    const SheetTable t = readWorkbook(xw);
    EXPECT_EQ(t.rowCount(), 1048576);
    EXPECT_EQ(t.value(1, 1), QVariant(3.0));
    EXPECT_EQ(t.value(1, 2), QVariant(QDate(2024, 5, 3)));
    EXPECT_EQ(t.value(1048576, 1), QVariant("zadnja"));
    EXPECT_FALSE(t.value(500000, 1).isValid());
}

TEST(Workbook, BadFilesGetAClearMessage)
{
    QTemporaryDir dir;
    const QString sheet = dir.filePath("dobra.xlsx");
    makeWorkbook(QJsonObject{{"rows", QJsonArray{QJsonArray{"a"}}}}, sheet);
    QFile good(sheet);
    ASSERT_TRUE(good.open(QIODevice::ReadOnly));
    const QByteArray bytes = good.readAll();

    auto write = [&](const QString& name, const QByteArray& content) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        return f.fileName();
    };
    // An encrypted workbook is a compound file with an "EncryptedPackage" stream.
    QByteArray encrypted("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    encrypted += QByteArray(1024, '\0') + QByteArray("E\0n\0c\0r\0y\0p\0t\0e\0d\0P\0a\0c\0k\0a\0g\0e\0", 32);
    const QString empty = dir.filePath("prazna.xlsx");
    makeWorkbook(QJsonObject{{"rows", QJsonArray{}}}, empty);

    const struct
    {
        QString path;
        const char* says;
    } cases[] = {
        {write("slika.xlsx", QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(100, 'x')), "ni preglednica"},
        {write("polovica.xlsx", bytes.left(bytes.size() / 2)), "je poškodovana"},
        {write("zaklenjena.xlsx", encrypted), "zaščitena z geslom"},
        {write("binarna.csv", QByteArray("a;b\0c", 5)), "ni preglednica"},
        {empty, "je prazen"},
        {dir.filePath("ni.xlsx"), "ni mogoče odpreti"},
    };
    for (const auto& c : cases) {
        const QString message = errorOf(c.path);
        EXPECT_TRUE(message.contains(QString::fromUtf8(c.says)))
            << c.path.toStdString() << ": " << message.toStdString();
        EXPECT_TRUE(message.contains(c.path)) << message.toStdString();
    }
}

// Separator by the header row, quoted fields across lines, dates and
// numbers in both forms.
TEST(Workbook, CsvFields)
{
    QTemporaryDir dir;
    QFile f(dir.filePath("a.csv"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("Ime,Datum,Znesek,Koda\n\"Kos, "
            "Ana\",2024-05-03,\"1234,56\",0123\n\"dve\nvrstici\",3.5.2024,1234.56,\n");
    f.close();
    EXPECT_EQ(render(readWorkbook(f.fileName())), "t:Ime|t:Datum|t:Znesek|t:Koda\n"
                                                  "t:Kos, Ana|d:2024-05-03|n:1234.56|t:0123\n"
                                                  "t:dve\nvrstici|d:2024-05-03|n:1234.56|\n");
}
