#include "xmlreturn/return_document.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace rek2;

namespace {

// The items of a return file as Python's own XML parser reads them: one
// "element=text" list per item (IncomeTax's children in their place).
QStringList parsedItems(const QString& path)
{
    const char* script = R"(
import json, sys, xml.etree.ElementTree as ET
local = lambda tag: tag.rsplit('}', 1)[-1]
items = []
for item in ET.parse(sys.argv[1]).getroot().iter():
    if local(item.tag) == 'AnalyticalDataItem':
        items.append(['%s=%s' % (local(e.tag), e.text or '') for e in item.iter() if len(e) == 0])
print(json.dumps(items))
)";
    QProcess py;
    py.start(QStringLiteral("python3"), {QStringLiteral("-c"), QString::fromUtf8(script), path});
    if (!py.waitForFinished(30000) || py.exitCode() != 0)
        return {QStringLiteral("python3 failed: ") + QString::fromUtf8(py.readAllStandardError())};
    QStringList out;
    for (const QJsonValue item : QJsonDocument::fromJson(py.readAllStandardOutput()).array()) {
        QStringList fields;
        for (const QJsonValue f : item.toArray())
            fields << f.toString();
        out << fields.join(QLatin1Char('|'));
    }
    return out;
}

ReturnPayer samplePayer(bool t2s)
{
    return {12345678, "Plačnik d.d.", "Tivolska 48", "Marija Horvat", "01 300 00 00", t2s};
}

ReturnHeader originalOfNovember()
{
    ReturnHeader header;
    header.documentType = "O";
    header.datumIzp = QDate(2026, 11, 30);
    return header;
}

// A return file in a folder of its own, with the payer and header to write.
struct ReturnFile
{
    explicit ReturnFile(bool t2s) : payer(samplePayer(t2s)) {}
    bool open() { return file.open(QIODevice::WriteOnly); }

    QTemporaryDir dir;
    QString path = dir.filePath("return.xml");
    QFile file{path};
    ReturnPayer payer;
    ReturnHeader header = originalOfNovember();
};

} // namespace

// Items go to the file as their rows are read; an independent parser reads
// back what each row says: escaped and blanked texts, malformed UTF-8 as the
// replacement character, the person or the firm, the foreign state, amounts.
TEST(ReturnWriter, StreamedItemsReadBackByAnotherParser)
{
    const struct
    {
        ReturnItem row;
        const char* expected;
    } cases[] = {
        {{" 0012 ", "", "Ana", "Kovač", "", "R", "SI", "", "5400", 100.0, QVariant(),
          QStringLiteral("12.345"), 3 * 0.075},
         "A001=12|A003i=Ana|A003p=Kovač|A004=R|A005=false|A051=5400|A052=100.00|A091O=0.00|A091P=12.35|"
         "A092O=0.23"},
        {{"", "DE-1 & <2>", "\xc2\xa0", "", "Firma \"X\"\td.o.o.\r\n", "N", "DE", "D", "5700", -0.004,
          1e12 + 0.25, qlonglong(7), 2.675},
         "A002=DE-1 & <2>|A003=Firma \"X\" d.o.o.  |A004=N|A004a=DE|A005=true|A051=5700|A052=0.00|"
         "A091O=1000000000000.25|A091P=7.00|A092O=2.68"},
        {{"+7", "", "Ab\xff", "\xf0\x9f\x98\x80", "", "", "", "", "", 0.125, -0.125, 1.005, 99.995},
         "A001=7|A003i=Ab\xef\xbf\xbd|A003p=\xf0\x9f\x98\x80|A004=|A005=false|A051=|A052=0.13|A091O=-0.13|"
         "A091P=1.01|A092O=100.00"},
        {{"-0", "", "  ", "\n", "", "R", "", "", "5400", 1.0, 2.0, 3.0, 4.0},
         "A001=0|A003=|A004=R|A005=false|A051=5400|A052=1.00|A091O=2.00|A091P=3.00|A092O=4.00"},
    };
    ReturnFile out(true);
    ASSERT_TRUE(out.open());
    ReturnWriter writer(out.file, out.payer, out.header);
    QStringList expected;
    for (const auto& c : cases) {
        writer.addItem(c.row);
        expected << QString::fromUtf8(c.expected);
    }
    ASSERT_TRUE(writer.finish());
    out.file.close();
    EXPECT_EQ(parsedItems(out.path), expected);

    // Without rows the return has no analytic part; a device that refuses
    // the bytes makes the writer fail instead of reporting success.
    QBuffer empty;
    empty.open(QIODevice::WriteOnly);
    ReturnWriter none(empty, out.payer, out.header);
    ASSERT_TRUE(none.finish());
    EXPECT_FALSE(empty.data().contains("<AnalyticalData "));
    EXPECT_TRUE(empty.data().endsWith("</Envelope>\r\n"));
    QBuffer closed;
    ReturnWriter refused(closed, out.payer, out.header);
    refused.addItem(cases[0].row);
    EXPECT_FALSE(refused.finish());
}

// A return of a few megabytes goes out in many blocks; an element that does
// not fit the rest of a block is split across two, in order.
TEST(ReturnWriter, ManyItemsCrossTheOutputBlocksInOrder)
{
    ReturnFile out(false);
    ASSERT_TRUE(out.open());
    ReturnWriter writer(out.file, out.payer, out.header);
    QStringList expected;
    for (int i = 0; i < 6000; ++i) {
        // Names of growing length, so the block ends fall on every kind of piece.
        const QByteArray dvs = QByteArray::number(10000000 + i);
        const QByteArray ime = "Ime" + QByteArray(i % 37, 'x');
        const QByteArray priimek = i % 3 ? QByteArray("Kovač") : QByteArray("A & B");
        ReturnItem row{dvs, "", ime, priimek, "", "R", "SI", "", "5400", i * 1.25, i * 0.25, QVariant(), 0.0};
        writer.addItem(row);
        expected << QStringLiteral("A001=%1|A003i=%2|A003p=%3|A004=R|A005=false|A051=5400|A052=%4|A091O=%5|"
                                   "A091P=0.00|A092O=0.00")
                        .arg(QString::fromLatin1(dvs), QString::fromLatin1(ime), QString::fromUtf8(priimek),
                             QString::number(i * 1.25, 'f', 2), QString::number(i * 0.25, 'f', 2));
    }
    ASSERT_TRUE(writer.finish());
    out.file.close();
    ASSERT_GT(QFileInfo(out.path).size(), 4 * 65536);
    const QStringList items = parsedItems(out.path);
    ASSERT_EQ(items.size(), expected.size()) << items.value(0).toStdString();
    for (qsizetype i = 0; i < items.size(); ++i)
        ASSERT_EQ(items[i].toStdString(), expected[i].toStdString()) << "item " << i;
}
