#include "base/cp1250.h"
#include "gridexport/export_table.h"
#include "gridexport/progress.h"
#include "sample_rows.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
// The library's header declares C functions without saying so.
extern "C" {
#include <paradox.h>
}

using rek2::ExportFormat;
using rek2::test::SampleRows;

namespace {

QVector<QVector<QVariant>> sampleRows()
{
    return {
        {1, QStringLiteral("Črt Šuštar, d.o.o."), 1234.56, QDate(2026, 3, 1)},
        {2, QStringLiteral("Žiga \"Žan\" Čeh"), -0.5, QVariant()},
        {3, QVariant(), QVariant(), QDate(1999, 12, 31)},
    };
}

// Reads a .dbf with the Debian package python3-dbfread (not our code): the
// encoding it takes from the header's language driver, the fields, the rows.
QJsonObject readDbf(const QString& path)
{
    const char* script = R"(
import json, sys, datetime
from dbfread import DBF
t = DBF(sys.argv[1], load=True)
def v(x):
    return x.isoformat() if isinstance(x, datetime.date) else x
print(json.dumps({"encoding": t.encoding,
  "fields": [[f.name, f.type, f.length, f.decimal_count] for f in t.fields],
  "rows": [[v(x) for x in r.values()] for r in t.records]}, ensure_ascii=False))
)";
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QString::fromUtf8(script), path});
    EXPECT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

QString compact(const QJsonArray& a)
{
    return QString::fromUtf8(QJsonDocument(a).toJson(QJsonDocument::Compact));
}

struct ExportFixture : ::testing::Test
{
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }
    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }
};

} // namespace

TEST_F(ExportFixture, DBaseFileReadBackByAnIndependentReader)
{
    SampleRows s(sampleRows());
    rek2::exportDataSet(s.ds, s.columns(), path("izvoz.dbf"), ExportFormat::DBase);
    EXPECT_EQ(files(), QStringList{QStringLiteral("izvoz.dbf")}); // no temporary left beside it
    const QJsonObject t = readDbf(path("izvoz.dbf"));
    EXPECT_EQ(t["encoding"].toString(), QStringLiteral("cp1250"));
    const QJsonArray fields = t["fields"].toArray();
    ASSERT_EQ(fields.size(), 4);
    EXPECT_EQ(compact(fields).toStdString(),
              std::string(R"([["ID","N",11,0],["NAZIV","C",30,0],["ZNESEK","N",20,2],)"
                          R"(["DATUM","D",8,0]])"));
    const QJsonArray rows = t["rows"].toArray();
    ASSERT_EQ(rows.size(), 3) << QJsonDocument(t).toJson().toStdString();
    EXPECT_EQ(compact(rows).toStdString(),
              std::string(R"([[1,"Črt Šuštar, d.o.o.",1234.56,"2026-03-01"],)"
                          R"([2,"Žiga \"Žan\" Čeh",-0.5,null],[3,"",null,"1999-12-31"]])"));
    // dBase has no NULL text: an empty name reads back as "".
}

TEST_F(ExportFixture, LongNamesAreCutUniquelyAndAnEmptyDataSetGivesAnEmptyTable)
{
    SampleRows s({});
    QVector<rek2::GridColumn> columns = s.columns();
    columns[0].def.name = QStringLiteral("DAV_ODT_ODB_TUJ");
    columns[1].def.name = QStringLiteral("DAV_ODT_ODBITEK");
    rek2::exportDataSet(s.ds, columns, path("prazno.dbf"), ExportFormat::DBase);
    const QJsonObject t = readDbf(path("prazno.dbf"));
    const QJsonArray fields = t["fields"].toArray();
    ASSERT_EQ(fields.size(), 4);
    EXPECT_EQ(fields[0].toArray()[0].toString(), QStringLiteral("DAV_ODT_OD"));
    EXPECT_EQ(fields[1].toArray()[0].toString(), QStringLiteral("DAV_ODT_O1"));
    EXPECT_TRUE(t["rows"].toArray().isEmpty());
}

TEST_F(ExportFixture, ParadoxFileReadBackByPxlib)
{
    SampleRows s(sampleRows());
    rek2::exportDataSet(s.ds, s.columns(), path("izvoz.db"), ExportFormat::Paradox);
    EXPECT_EQ(files(), QStringList{QStringLiteral("izvoz.db")});

    pxdoc_t* doc = PX_new();
    ASSERT_EQ(PX_open_file(doc, QFile::encodeName(path("izvoz.db")).constData()), 0);
    float codepage = 0;
    PX_get_value(doc, "codepage", &codepage);
    EXPECT_EQ(int(codepage), 1250);
    ASSERT_EQ(PX_get_num_fields(doc), 4);
    EXPECT_STREQ(PX_get_field(doc, 1)->px_fname, "NAZIV");
    EXPECT_EQ(PX_get_field(doc, 1)->px_ftype, pxfAlpha);
    EXPECT_EQ(PX_get_field(doc, 1)->px_flen, 30);
    ASSERT_EQ(PX_get_num_records(doc), 3);
    std::vector<char> buffer(size_t(PX_get_recordsize(doc)));
    ASSERT_NE(PX_get_record(doc, 0, buffer.data()), nullptr);
    int offset = 0;
    long id = 0;
    ASSERT_GT(PX_get_data_long(doc, buffer.data() + offset, 4, &id), 0);
    EXPECT_EQ(id, 1);
    offset += 4;
    char* text = nullptr;
    ASSERT_GT(PX_get_data_alpha(doc, buffer.data() + offset, 30, &text), 0);
    EXPECT_EQ(rek2::fromWindows1250(QByteArray(text)), QStringLiteral("Črt Šuštar, d.o.o."));
    doc->free(doc, text);
    offset += 30;
    double amount = 0;
    ASSERT_GT(PX_get_data_double(doc, buffer.data() + offset, 8, &amount), 0);
    EXPECT_DOUBLE_EQ(amount, 1234.56);
    offset += 8;
    long days = 0;
    ASSERT_GT(PX_get_data_long(doc, buffer.data() + offset, 4, &days), 0);
    EXPECT_EQ(QDate::fromJulianDay(days + 1721425), QDate(2026, 3, 1));
    // The third row has no name and no amount: NULL, not zero.
    ASSERT_NE(PX_get_record(doc, 2, buffer.data()), nullptr);
    EXPECT_EQ(PX_get_data_alpha(doc, buffer.data() + 4, 30, &text), 0);
    EXPECT_EQ(PX_get_data_double(doc, buffer.data() + 34, 8, &amount), 0);
    PX_close(doc);
    PX_delete(doc);
}

TEST_F(ExportFixture, FixedTextReadBackByItsSchema)
{
    SampleRows s(sampleRows());
    const QString txt = path("izvoz.txt");
    rek2::exportDataSet(s.ds, s.columns(), txt, ExportFormat::FixedText);
    EXPECT_EQ(files(), (QStringList{QStringLiteral("izvoz.sch"), QStringLiteral("izvoz.txt")}));

    QFile sch(rek2::schemaPathOf(txt));
    ASSERT_TRUE(sch.open(QIODevice::ReadOnly));
    struct Col
    {
        QString name, type;
        int width, decimals, start;
    };
    QVector<Col> cols;
    for (const QByteArray& line : sch.readAll().split('\n')) {
        const QString l = QString::fromLatin1(line).trimmed();
        if (!l.startsWith(QLatin1String("Field")))
            continue;
        const QStringList p = l.section(QLatin1Char('='), 1).trimmed().split(QLatin1Char(','));
        ASSERT_EQ(p.size(), 5) << l.toStdString();
        cols.push_back({p[0], p[1], p[2].toInt(), p[3].toInt(), p[4].toInt()});
    }
    ASSERT_EQ(cols.size(), 4);
    EXPECT_EQ(cols[1].name, QStringLiteral("NAZIV"));
    EXPECT_EQ(cols[1].type, QStringLiteral("CHAR"));
    EXPECT_EQ(cols[2].type, QStringLiteral("NUMBER"));
    EXPECT_EQ(cols[2].decimals, 2);

    QFile data(txt);
    ASSERT_TRUE(data.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = data.readAll().split('\n');
    ASSERT_EQ(lines.size(), 4); // three rows, each ended by CR LF
    const auto field = [&](int row, int col) {
        const QByteArray line = lines[row].chopped(1); // CR
        return rek2::fromWindows1250(line.mid(cols[col].start, cols[col].width)).trimmed();
    };
    for (int r = 0; r < 3; ++r)
        EXPECT_EQ(lines[r].size() - 1, cols.back().start + cols.back().width);
    EXPECT_EQ(field(0, 0), QStringLiteral("1"));
    EXPECT_EQ(field(0, 1), QStringLiteral("Črt Šuštar, d.o.o."));
    EXPECT_EQ(field(0, 2), QStringLiteral("1234.56"));
    EXPECT_EQ(field(0, 3), QStringLiteral("01.03.2026"));
    EXPECT_EQ(field(1, 1), QStringLiteral("Žiga \"Žan\" Čeh"));
    EXPECT_EQ(field(1, 2), QStringLiteral("-0.50"));
    EXPECT_EQ(field(2, 1), QString());
}

TEST_F(ExportFixture, FailureOrCancelLeavesNothingHalfWrittenAndKeepsTheOldFile)
{
    SampleRows s(sampleRows());
    // A folder that does not exist.
    try {
        rek2::exportDataSet(s.ds, s.columns(), path("ni/izvoz.dbf"), ExportFormat::DBase);
        FAIL() << "no error";
    } catch (const rek2::ExportError& e) {
        EXPECT_TRUE(e.text.startsWith(QStringLiteral("Mapa ne obstaja: "))) << e.text.toStdString();
    }
    // Cancel after the first row, over an existing file of each kind.
    struct CancelAtOne : rek2::Progress
    {
        void start(const QString& title, int) override { EXPECT_EQ(title, QStringLiteral("Export")); }
        void step() override { throw rek2::OperationCancelled(); }
        void close() override {}
    } cancel;
    for (const auto& [name, format] :
         {std::pair{"a.dbf", ExportFormat::DBase}, std::pair{"a.db", ExportFormat::Paradox},
          std::pair{"a.txt", ExportFormat::FixedText}}) {
        QFile old(path(QString::fromLatin1(name)));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
        old.close();
        EXPECT_THROW(rek2::exportDataSet(s.ds, s.columns(), old.fileName(), format, &cancel),
                     rek2::OperationCancelled);
        ASSERT_TRUE(old.open(QIODevice::ReadOnly));
        EXPECT_EQ(old.readAll(), QByteArray("old")) << name;
        old.close();
    }
    EXPECT_EQ(files(),
              (QStringList{QStringLiteral("a.db"), QStringLiteral("a.dbf"), QStringLiteral("a.txt")}));
}
