// The import of analytic rows from workbooks written by other writers.
#include "import/sheet_import.h"

#include "db/session.h"
#include "edit/qstring_print.h"
#include "import/mapping_editor.h"
#include "import/workbook.h"
#include "returns/context.h"
#include "support/fixture_db.h"
#include "support/scripted_operator.h"
#include "workbooks.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

using namespace rek2;
using namespace rek2::importxls;
using rek2::test::date;
using rek2::test::makeWorkbook;

namespace {

// Securities KRKG (coupons 501 and 1234, numbered 15 and 3 within the
// security) and SOS2E_S (502); the mapping reads from row 3, columns A to R.
struct ImportFixture
{
    test::FixtureDb db{test::FixtureDb::Content::SifBasics};
    Session session;
    test::ScriptedOperator op;
    DebugLog log;
    RekContext ctx;
    QTemporaryDir files;

    ImportFixture()
    {
        db.exec("INSERT INTO SFVP (SFVP, KRT, NZV, SFGLVENT, SFOSBIZD) VALUES (1, 'KRKG', 'Krka', NULL, 10), "
                "(2, 'SOS2E_S', 'Obveznica', NULL, 10)");
        db.exec("INSERT INTO KPN (SFKPN, SFVP, SFOBR, OBROBRBRT, STKPN) VALUES (501, 1, 'D', 2.00, 15), "
                "(1234, 1, 'D', 1.00, 3), (502, 2, 'O', 1.50, 7)");
        db.exec("INSERT INTO DVK_STP VALUES ('S', 'D', '2007-01-01', 20), ('S', 'O', '2000-01-01', 25)");
        db.exec(
            "INSERT INTO REK2_IMPORT_PARAMS VALUES (3, 'A', 'B', 'C', 'D', 'E', 'F', NULL, NULL, 'I', 'J', "
            "'K', 'L', 'M', 'N', 'O', 'P', 'Q', 'R')");
        session.LogonDatabase = db.path();
        session.LogOn();
        log.setFile(db.folder() + "/Log.txt");
        log.setDebug(1);
        ctx.attachSession(&session);
        ctx.log = &log;
        ctx.op = &op;
        ctx.datumOd = ctx.datumDo = QDate(2009, 6, 15);
    }

    QString write(const QJsonArray& rows, const QString& kind)
    {
        const QString path = files.filePath("list." + kind);
        makeWorkbook(QJsonObject{{"rows", rows}}, path);
        return path;
    }

    ImportOutcome run(const QString& path)
    {
        SheetImport import(ctx, files.path());
        return import.run(path);
    }

    QStringList rows()
    {
        QSqlQuery q(db.db());
        EXPECT_TRUE(
            q.exec("SELECT ID_REK2_ANAL, DVS, IDENT_ST, IME, PRIIMEK, NAZIV, REZ, DRZ, UGO_MED_POG, "
                   "SIF_SFDOH, SIF_VRSTE_DOH, BRUTO, DAV_ODT_OBR, DAV_ODT_PLC, DAV_ODT_ODB_TUJ, STATUS, "
                   "SFKPN, SFVP, DATUM_IZP_DIV, DATUM_PLC_DVK, CASE WHEN ID_REK2_ZBIR > 0 THEN 1 ELSE 0 END "
                   "FROM REK2_ANAL ORDER BY 1"));
        QStringList out;
        while (q.next()) {
            QStringList fields;
            for (int i = 1; i < q.record().count(); ++i) {
                const QVariant v = q.value(i);
                fields << (v.isNull() ? "-" : v.toString());
            }
            out << fields.join('|');
        }
        return out;
    }

    QString importLog() const
    {
        QFile f(files.filePath("ImportLog.txt"));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
};

const QJsonValue kNone;

QJsonArray row(QJsonArray cells)
{
    return cells;
}

// Title, header, four rows of 15.06.2009, an empty payment date, a row
// after it.
QJsonArray sheetRows()
{
    return QJsonArray{
        row({"Izplačilo dividend 15.06.2009"}),
        row({"Vrsta", "Datum", "Davek", "DŠ", "ID", "Priimek in ime"}),
        row({1901, date("2009-06-15"), kNone, 12345678, kNone, "Novak Janez III", kNone, kNone, "R", kNone, 1,
             "5400", 100, 20, 20, kNone, 501, "KRKG"}),
        row({1901, date("2009-06-15"), date("2009-07-10"), kNone, "ID-77", "Müller Hans Peter", kNone, kNone,
             "N", "AT", "0", "5400", "1.234,56", 246.91, 246.91, 0, 15, "krkg"}),
        row({1902, date("2009-06-15"), kNone, 87654321, kNone, "Kos Ana Marija Ivana", kNone, kNone, "R",
             kNone, 2, "5400", 50, 60, 60, kNone, 502, "SOS2E_S"}),
        row({1903, date("2009-06-15"), kNone, kNone, kNone, "Zupan", kNone, kNone, "R", kNone, 0, "5500", 10,
             2.5, 2.5, kNone, 3, "KRKG"}),
        row({1901, kNone, kNone, 11111111, kNone, "Prazen Datum"}),
        row({1901, date("2009-06-15"), kNone, 22222222, kNone, "Za Praznim"}),
    };
}

} // namespace

// The same sheet from .xlsx, .ods, .xls and .csv stores the same rows:
// from the first data row to the last row before the empty payment date,
// names split surname first, the Roman numeral dropped, the coupon given
// by its number resolved to its code, the tax number typed as a number
// stored as its digits, an empty tax date stored as null, then grouped (the
// row whose tax is paid later belongs to the period of its tax date).
TEST(SheetImport, SameRowsFromAllFourKinds)
{
    const QStringList expected = {
        "12345678|-|Janez|Novak|Janez Novak|R|-|1|5400|1901|100|20|20|-|O|501|KRKG|2009-06-15|-|1",
        "-|ID-77|Peter|Müller Hans|Peter Müller "
        "Hans|N|AT|0|5400|1901|1234.56|246.91|246.91|0|O|501|krkg|2009-06-15|"
        "2009-07-10|0",
        "87654321|-|Marija Ivana|Kos Ana|Marija Ivana Kos "
        "Ana|R|-|2|5400|1902|50|60|60|-|O|502|SOS2E_S|2009-06-15|-|1",
        "-|-|-|-|Zupan|R|-|0|5500|1903|10|2.5|2.5|-|O|1234|KRKG|2009-06-15|-|1",
    };
    for (const char* kind : {"xlsx", "ods", "xls", "csv"}) {
        ImportFixture f;
        const ImportOutcome out = f.run(f.write(sheetRows(), kind));
        EXPECT_EQ(f.rows(), expected) << kind;
        ASSERT_EQ(out.stored.size(), 4) << kind;
        EXPECT_EQ(out.stored[0].sheetRow, 3);
        EXPECT_EQ(out.stored[3].sheetRow, 6);
        EXPECT_EQ(out.stored[3].naziv, "Zupan");
        // One confirmation for the whole import, no other dialog.
        EXPECT_EQ(f.op.texts(), QStringList{"Prosim potrdi import podatkov na dan 15.06.2009 !"}) << kind;
        EXPECT_FALSE(out.summaryIds.isEmpty());

        // The findings: the third row breaks the pairing rule, its benefit
        // cell (twice: the cell and the column) and the gross amount; the
        // fourth has neither number.
        const QString id3 = QString::number(out.stored[2].id), id4 = QString::number(out.stored[3].id);
        const QString findings = "\r\nZa ID:" + id3 +
                                 " napačna kombinacija vrste dohodka 1902 in oznake vrste dohodka 5400 !"
                                 "\r\nZa ID:" +
                                 id3 +
                                 " napačna vrednost podatka uveljavanje ugodnosti 2 pravilna je 0 ali 1!"
                                 "\r\nZa ID:" +
                                 id3 +
                                 " napačna vrednost podatka uveljavanje ugodnosti 2 pravilna je 0 ali 1!"
                                 "\r\nZa ID:" +
                                 id3 +
                                 " premajhna bruto dividenda glede na davčni odtegljaj!"
                                 "\r\nZa ID:" +
                                 id4 + " manjka davčna ali identifikacijska številka!";
        EXPECT_EQ(out.findings, findings) << kind;
        const QString logFile = f.importLog();
        EXPECT_TRUE(logFile.endsWith(" : " + findings + "\r\n")) << qPrintable(logFile);
        EXPECT_EQ(out.logFile, f.files.filePath("ImportLog.txt"));
    }
}

// A row dated a day later in the middle ends the import with the message
// at that row; the rows above are stored and grouped. Cancelling the
// confirmation stores nothing and writes no log.
TEST(SheetImport, WrongDayAndCancel)
{
    ImportFixture f;
    QJsonArray rows = sheetRows();
    QJsonArray fifth = rows[4].toArray();
    fifth[1] = date("2009-06-16");
    rows[4] = fifth;
    const ImportOutcome out = f.run(f.write(rows, "xlsx"));
    EXPECT_TRUE(out.wrongDay);
    EXPECT_EQ(out.stored.size(), 2);
    EXPECT_EQ(f.op.texts().last(),
              "Datum v Excelu \"16.06.2009\" ne ustreza izbranemu dnevu \"15.06.2009\" !");
    ASSERT_EQ(f.rows().size(), 2);
    EXPECT_TRUE(f.rows()[0].endsWith("|1")) << qPrintable(f.rows()[0]); // grouped

    ImportFixture g;
    g.op.opozoriloAnswers = {2};
    const ImportOutcome cancelled = g.run(g.write(sheetRows(), "ods"));
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_TRUE(cancelled.stored.isEmpty());
    EXPECT_TRUE(g.rows().isEmpty());
    EXPECT_FALSE(QFile::exists(g.files.filePath("ImportLog.txt")));
}

// A cell that cannot be converted stops the import: the rows before stay
// (not yet grouped), the log file keeps their findings followed by the
// error, and the error names the cell.
TEST(SheetImport, UnconvertibleCellsStopTheImport)
{
    const struct
    {
        int column; // 0-based in the sheet row
        QJsonValue value;
        const char* error;
    } cases[] = {
        {12, "1.234", "Vrednosti \"1.234\" v celici M4 (Bruto znesek) ni mogoče pretvoriti v znesek."},
        {12, "12 EUR", "Vrednosti \"12 EUR\" v celici M4 (Bruto znesek) ni mogoče pretvoriti v znesek."},
        {2, "jutri", "Vrednosti \"jutri\" v celici C4 (Datum plačila davkov) ni mogoče pretvoriti v datum."},
        {0, "19O1", "Vrednosti \"19O1\" v celici A4 (Vrsta dohodka) ni mogoče pretvoriti v celo število."},
        {16, 15.5, "Vrednosti \"15.5\" v celici Q4 (Kupon) ni mogoče pretvoriti v celo število."},
        {5, QString(100000, u'x'), "Besedilo v celici F4 (Priimek in ime) je daljše od 100 znakov"},
        {3, "SI12345678", "Besedilo v celici D4 (Davčna številka) je daljše od 8 znakov"},
    };
    for (const auto& c : cases) {
        ImportFixture f;
        QJsonArray rows = sheetRows();
        QJsonArray third = rows[2].toArray();
        third[3] = kNone; // a finding on the stored row
        rows[2] = third;
        QJsonArray fourth = rows[3].toArray();
        fourth[c.column] = c.value;
        rows[3] = fourth;
        QString error;
        try {
            f.run(f.write(rows, "xlsx"));
        } catch (const ImportError& e) {
            error = e.message();
        }
        EXPECT_TRUE(error.startsWith(QString::fromUtf8(c.error))) << qPrintable(error);
        const QStringList stored = f.rows();
        ASSERT_EQ(stored.size(), 1) << c.error;
        EXPECT_TRUE(stored[0].endsWith("|0")) << qPrintable(stored[0]); // not grouped
        const QString log = f.importLog();
        EXPECT_TRUE(log.contains(" manjka davčna ali identifikacijska številka!\r\n" + error + "\r\n"))
            << qPrintable(log);
    }
}

// A mapping column beyond the used area reads empty cells; the mapping's
// first-name and surname columns, when both are set, are used instead of
// the split (the blank before a dropped numeral stays, as in the split).
TEST(SheetImport, MappingColumnsBeyondTheSheetAndSeparateNames)
{
    ImportFixture f;
    f.db.exec("UPDATE REK2_IMPORT_PARAMS SET KOLONA_A004A = 'ZZ', KOLONA_A003I = 'G', KOLONA_A003P = 'H'");
    QJsonArray rows = sheetRows();
    QJsonArray fourth = rows[3].toArray();
    fourth[6] = "Hans VIII.";
    fourth[7] = "Müller";
    rows[3] = fourth;
    rows.removeAt(4);
    rows.removeAt(4);
    rows.removeAt(2);
    const ImportOutcome out = f.run(f.write(rows, "xlsx"));
    ASSERT_EQ(out.stored.size(), 1);
    EXPECT_EQ(f.rows(),
              QStringList{"-|ID-77|Hans |Müller|Hans  Müller|N|-|0|5400|1901|1234.56|246.91|246.91|0|O|501|"
                          "krkg|2009-06-15|2009-07-10|0"});
    EXPECT_EQ(out.findings,
              "\r\nZa ID:" + QString::number(out.stored[0].id) + " manjka država za nerezidenta!");
}

// The mapping panel's dataset: on an empty table the first typing starts
// the row; letters are saved in upper case and shown so when the tab is
// reopened, and the import then reads that column; a wrong value is refused
// with the field's caption and nothing is saved.
TEST(MappingEditor, EditSaveReopen)
{
    ImportFixture f;
    f.db.exec("DELETE FROM REK2_IMPORT_PARAMS");
    MappingEditor editor;
    editor.open(&f.session);
    EXPECT_EQ(editor.value("KOLONA_A003I"), "");
    QString message;
    auto rowCount = [&f] {
        QSqlQuery q(f.db.db());
        EXPECT_TRUE(q.exec("SELECT COUNT(*) FROM REK2_IMPORT_PARAMS") && q.next());
        return q.value(0).toInt();
    };
    EXPECT_TRUE(editor.save(message)); // nothing pending: nothing happens
    EXPECT_EQ(rowCount(), 0);

    editor.setValue("START_PODATKOV", "3");
    editor.setValue("KOLONA_012", "b");
    editor.setValue("KOLONA_A003I", "ab");
    editor.setValue("KOLONA_A003P", "ABC");
    EXPECT_FALSE(editor.save(message));
    EXPECT_EQ(
        message,
        "\"Priimek\": \"ABC\" ni stolpec preglednice (ena ali dve črki od A do Z, na primer C ali AB).");
    EXPECT_EQ(rowCount(), 0);

    editor.setValue("KOLONA_A003P", "h");
    EXPECT_TRUE(editor.save(message)) << qPrintable(message);
    editor.open(&f.session);
    EXPECT_EQ(editor.value("KOLONA_A003I"), "AB");
    EXPECT_EQ(editor.value("KOLONA_012"), "B");
    EXPECT_EQ(editor.value("START_PODATKOV"), "3");
    const ImportMapping mapping = loadImportMapping(f.session);
    EXPECT_EQ(mapping.column("KOLONA_A003I"), 28);

    editor.setValue("KOLONA_012", "C");
    EXPECT_TRUE(editor.save(message));
    editor.open(&f.session);
    EXPECT_EQ(editor.value("KOLONA_012"), "C");
    EXPECT_EQ(rowCount(), 1);
}
