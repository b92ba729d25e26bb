// The review tab's actions on a small history written in SQL: tree, drawing,
// clicks, the double-click's outcomes and the copy's failures.
#include "db/error.h"
#include "edit/edit_db.h"
#include "edit/nabor_actions.h"
#include "returns/working_statements.h"
#include "review/history_actions.h"
#include "review/kopiraj.h"
#include "review/pregled.h"
#include "review/review_error.h"
#include "support/test_engine.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using namespace rek2;
using namespace rek2::review;
using rek2::test::EditDb;

namespace {

// Answers for the record editor: what it was opened with, and a scripted
// result (with an optional change the "operator" makes first).
class FakeEditor : public RecordEditor
{
public:
    int result = 2;
    std::function<void(DataSet&)> before;
    QStringList calls; // "editable|cancellation"
    int edit(DataSet& ds, const QString& editable, const QDateTime&, int, const QString&, bool cancellation,
             const QString&) override
    {
        calls << editable + (cancellation ? "|D" : "|N");
        if (before)
            before(ds);
        return result;
    }
};

const QString kPayer = QStringLiteral("12345678");

class Pregled : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        QDir(dir_.path()).mkpath("xml");
        QDir(dir_.path()).mkpath("arhiv");
        d_.ctx.settings.XMLPath = dir_.filePath("xml") + "/";
        d_.ctx.settings.XMLArhiv = dir_.filePath("arhiv") + "/";
        d_.ctx.pregledOd = QDate(2026, 11, 1);
        d_.ctx.pregledDo = QDate(2026, 11, 30);
        PregledActions::prepare(d_.ctx);
        // In statement order (payout day): a cancelled and then corrected
        // original, an unnumbered one without tax payment date, and an
        // original with a second part.
        hst(101, "O", "'EDP-12345678-A'", "NULL", "2026-11-02", "'2026-11-02'");
        hst(102, "S", "'EDP-12345678-B'", "'EDP-12345678-A'", "2026-11-03", "'2026-11-03'");
        hst(103, "P", "NULL", "'EDP-12345678-B'", "2026-11-04", "'2026-11-04'");
        hst(104, "O", "NULL", "NULL", "2026-11-05", "NULL");
        hst(106, "O", "'EDP-12345678-D'", "NULL", "2026-11-06", "'2026-11-06'");
        hst(107, "D", "NULL", "'EDP-12345678-D'", "2026-11-07", "'2026-11-07'");
        hst(120, "O", "'EDP-12345678-Z'", "NULL", "2026-10-01", "'2026-10-01'"); // outside the range
        anal(1031, 103, "2026-11-04", "'2026-11-04'", "REK2_A_103.xml");
        anal(1041, 104, "2026-11-05", "NULL", "REK2_A_104.xml");
        anal(1042, 104, "2026-11-05", "NULL", "REK2_A_104.xml");
        anal(1043, 104, "2026-11-05", "'2026-11-20'", "REK2_A_104.xml"); // another tax day: not loaded
        anal(1061, 106, "2026-11-06", "'2026-11-06'", "REK2_A_106.xml");
        anal(1062, 106, "2026-11-06", "'2026-11-06'", "REK2_A_106.xml");
    }

    void hst(int id, const char* type, const char* durs, const char* ref, const char* izp, const char* plc)
    {
        d_.exec(
            QString(
                "INSERT INTO REK2_ZBIR_HST (ID_REK2_ZBIR, DURS_ID_DOK, CORRECTIONFORDOCUMENT, "
                "CORRECTIONFORANALITICALDATA, CORRECTIONTYPE, SIF_VRSTE_DOH, DATUM_IZP, DATUM_PLC_DVK, "
                "SKUPAJ, SFVP, SFKPN, CAS, USR) VALUES (%1, %2, %3, %3, '%4', '1901', '%5', %6, 10, 'KRKG', "
                "0, '2026-11-30', 'TESTER')")
                .arg(id)
                .arg(durs, ref, type, izp, plc));
    }
    void anal(int id, int zbir, const char* izp, const char* plc, const char* file)
    {
        d_.exec(QString("INSERT INTO REK2_ANAL_HST (ID_REK2_ANAL, ID_REK2_ZBIR, DVS, NAZIV, SIF_VRSTE_DOH, "
                        "BRUTO, DATUM_IZP_DIV, DATUM_PLC_DVK, STATUS, SFVP) VALUES (%1, %2, '1000%1', 'Ana', "
                        "'1901', 100, '%3', %4, 'O', 'KRKG')")
                    .arg(id)
                    .arg(zbir)
                    .arg(izp, plc));
        d_.exec(
            QString("INSERT INTO REK2_DOG (ID_REK2_ANAL, ID_DOG, XML_FILE, STATUS, DAVCNI_ODTEGLJAJ) VALUES "
                    "(%1, %1, '%2', 'O', 'N')")
                .arg(id)
                .arg(file));
    }
    void writeUnsent(const QString& name, const QByteArray& content = "<Envelope/>")
    {
        QFile f(QDir(d_.ctx.settings.XMLPath).filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    int currentId() { return d_.ctx.odsPregled.FieldByName("ID_REK2_ZBIR")->AsInteger(); }
    bool select(int id) { return d_.ctx.odsPregled.Locate("ID_REK2_ZBIR", {id}); }
    QList<int> loadedRows()
    {
        QList<int> ids;
        DataSet& a = d_.ctx.odsPregledA;
        for (int r = 0; r < a.RecordCount(); ++r)
            ids << a.Value(r, a.FieldIndex("ID_REK2_ANAL")).toInt();
        return ids;
    }

    QTemporaryDir dir_;
    EditDb d_;
    FakeEditor editor_;
    PregledHooks hooks_;
};

TEST_F(Pregled, TreePlacementBoldNodesAndSupersededRows)
{
    PregledActions a(d_.ctx, editor_, hooks_);
    a.SpeedButton1Click();
    struct Node
    {
        int id;
        int parentId; // 0: the root
        bool bold;
        bool superseded;
    };
    // The first summary that is not an original hangs under the original
    // before it; a second one in a row, under the root. A second part does
    // not make its original superseded.
    const Node expected[] = {{101, 0, false, true}, {102, 101, false, true}, {103, 0, true, false},
                             {104, 0, true, false}, {106, 0, false, false},  {107, 106, true, false}};
    const auto& nodes = a.nodes();
    ASSERT_EQ(nodes.size(), std::size(expected));
    for (size_t i = 0; i < nodes.size(); ++i) {
        SCOPED_TRACE(expected[i].id);
        EXPECT_TRUE(nodes[i].text.contains(QString("_%1 ( ").arg(expected[i].id)))
            << nodes[i].text.toStdString();
        const int parent =
            nodes[i].parent < 0 ? 0 : parseNodeText(nodes[size_t(nodes[i].parent)].text)->id.toInt();
        EXPECT_EQ(parent, expected[i].parentId);
        EXPECT_EQ(nodes[i].bold, expected[i].bold);
        EXPECT_EQ(a.rowSuperseded(nodes[i].row), expected[i].superseded);
    }
    EXPECT_EQ(nodes[3].text, "KRKG__O_104 ( 05.11.2026 -  )");

    // An empty range: no nodes, an empty grid.
    d_.ctx.pregledOd = d_.ctx.pregledDo = QDate(2020, 1, 1);
    a.SpeedButton1Click();
    EXPECT_TRUE(a.nodes().empty());
    EXPECT_TRUE(d_.ctx.odsPregled.IsEmpty());
}

TEST_F(Pregled, ClicksOnNodesAndOnTheGrid)
{
    PregledActions a(d_.ctx, editor_, hooks_);
    a.SpeedButton1Click();
    // A node without tax payment date makes its own summary current.
    EXPECT_TRUE(a.tvPregledClick(a.nodes()[3].text));
    EXPECT_EQ(currentId(), 104);
    EXPECT_TRUE(a.tvPregledClick(a.nodes()[1].text));
    EXPECT_EQ(currentId(), 102);
    EXPECT_FALSE(a.tvPregledClick("REK2"));
    EXPECT_EQ(currentId(), 102);

    // The rows of a summary without tax payment date: only those without one.
    ASSERT_TRUE(select(104));
    a.dbgPregledCellClick();
    EXPECT_EQ(currentId(), 104);
    EXPECT_EQ(loadedRows(), QList<int>({1041, 1042}));

    // A click on the cancelled and corrected original shows the newest.
    ASSERT_TRUE(select(101));
    EXPECT_TRUE(a.TrySetParentIfExists());
    a.dbgPregledCellClick();
    EXPECT_EQ(currentId(), 103);
    EXPECT_EQ(loadedRows(), QList<int>({1031}));
    EXPECT_FALSE(a.TrySetParentIfExists());

    // The history row in the editor, read-only.
    a.dbgPredgledADblClick();
    EXPECT_EQ(editor_.calls, QStringList{"nič|N"});
}

TEST_F(Pregled, OkCopiesTheNumberOnwardBound)
{
    PregledActions a(d_.ctx, editor_, hooks_);
    a.SpeedButton1Click();
    ASSERT_TRUE(select(104));
    const QString number = "EDP-12345678-O'Brien";
    editor_.result = 1;
    editor_.before = [&](DataSet& ds) {
        ds.Edit();
        ds.FieldByName("DURS_ID_DOK")->SetAsString(number);
        ds.Post();
    };
    a.dbgPregledDblClick();
    EXPECT_EQ(editor_.calls, QStringList{"DURS_ID_DOK|N"});
    EXPECT_EQ(d_.count("SELECT COUNT(*) FROM REK2_ANAL_HST WHERE DURS_ID_DOK = 'EDP-12345678-O''Brien'"), 3);
    EXPECT_EQ(d_.count("SELECT COUNT(*) FROM REK2_DOG WHERE DURS_ID_DOK = 'EDP-12345678-O''Brien'"), 3);
    // The tab was filled again, the summary stays current and is no longer bold.
    EXPECT_EQ(currentId(), 104);
    EXPECT_FALSE(a.nodes()[3].bold);

    // OK on a numbered summary that was only looked at: the same updates again.
    editor_.before = nullptr;
    editor_.calls.clear();
    d_.exec("UPDATE REK2_DOG SET DURS_ID_DOK = NULL");
    a.dbgPregledDblClick();
    EXPECT_EQ(editor_.calls, QStringList{"nič|D"});
    EXPECT_EQ(d_.count("SELECT COUNT(*) FROM REK2_DOG WHERE DURS_ID_DOK = 'EDP-12345678-O''Brien'"), 3);
}

TEST_F(Pregled, CorrectionGoesToTheCollectionTab)
{
    // A pending original on the collection tab is dropped (its row stays);
    // a pending cancellation stays.
    d_.exec(
        "INSERT INTO REK2_ZBIR (ID_REK2_ZBIR, CORRECTIONTYPE, DATUM_IZP) VALUES (900, 'O', '2026-11-06')");
    d_.exec("INSERT INTO REK2_ZBIR (ID_REK2_ZBIR, CORRECTIONTYPE, CORRECTIONFORDOCUMENT, DATUM_IZP) VALUES "
            "(901, 'S', 'EDP-12345678-Q', '2026-11-06')");
    d_.exec(test::analRow(9001, 900));
    openSummarySelection(d_.ctx.odsREK2_Zbir, "900, 901");
    QDate shownOd, shownDo;
    hooks_.showNabor = [&](const QDate& od, const QDate& to) {
        shownOd = od;
        shownDo = to;
    };
    PregledActions a(d_.ctx, editor_, hooks_);
    a.SpeedButton1Click();
    ASSERT_TRUE(select(106));
    editor_.result = 7;
    a.dbgPregledDblClick();

    EXPECT_TRUE(d_.ctx.FKopiranje);
    EXPECT_EQ(shownOd, QDate(2026, 11, 6));
    EXPECT_EQ(shownDo, QDate(2026, 11, 6));
    EXPECT_EQ(d_.count("SELECT COUNT(*) FROM REK2_ZBIR WHERE ID_REK2_ZBIR = 900"), 0);
    EXPECT_EQ(d_.count("SELECT COUNT(*) FROM REK2_ANAL WHERE ID_REK2_ANAL = 9001"), 1);
    const int copy = d_.ctx.odsREK2_Zbir.FieldByName("ID_REK2_ZBIR")->AsInteger();
    EXPECT_GT(copy, 0);
    EXPECT_EQ(d_.ctx.odsREK2_Zbir.RecordCount(), 2); // the cancellation and the copy
    EXPECT_EQ(
        d_.scalar(QString("SELECT CORRECTIONTYPE || CORRECTIONFORDOCUMENT || CORRECTIONFORANALITICALDATA "
                          "FROM REK2_ZBIR WHERE ID_REK2_ZBIR = %1")
                      .arg(copy))
            .toString(),
        "XEDP-12345678-DEDP-12345678-D");
    EXPECT_EQ(d_.ctx.odsNabor.RecordCount(), 2);
    EXPECT_EQ(d_.count(QString("SELECT COUNT(*) FROM REK2_DOG D JOIN REK2_ANAL A ON A.ID_REK2_ANAL = "
                               "D.ID_REK2_ANAL WHERE A.ID_REK2_ZBIR = %1 AND D.STATUS = 'X' AND D.ID_DOG IN "
                               "(1061, 1062) AND D.XML_FILE IS NULL")
                           .arg(copy)),
              2);
    // History is untouched.
    EXPECT_EQ(d_.count("SELECT COUNT(*) FROM REK2_ANAL_HST WHERE ID_REK2_ZBIR = 106"), 2);

    // A cancellation of the same document while a copy is pending anywhere
    // in the working table (not only on the loaded tab) is refused.
    d_.ctx.odsREK2_Zbir.Close();
    d_.ctx.odsREK2_Zbir.SQL.clear();
    a.SpeedButton1Click();
    ASSERT_TRUE(select(106));
    editor_.result = 6;
    a.dbgPregledDblClick();
    EXPECT_EQ(d_.op.texts(), QStringList{"Storno dokumenta že obstaja!"});
    EXPECT_EQ(d_.count("SELECT COUNT(*) FROM REK2_ZBIR WHERE CORRECTIONFORDOCUMENT = 'EDP-12345678-D'"), 1);
}

TEST_F(Pregled, ACopyThatFailsHalfwayLeavesNothing)
{
    // The second analytic row cannot be inserted.
    for (const QString& sql : test::failingTrigger("FAIL_SECOND", "INSERT", "REK2_ANAL",
                                                   "(SELECT COUNT(*) FROM REK2_ANAL) >= 1", "disk full"))
        d_.exec(sql);
    PregledActions a(d_.ctx, editor_, hooks_);
    a.SpeedButton1Click();
    ASSERT_TRUE(select(106));
    editor_.result = 6;
    EXPECT_THROW(a.dbgPregledDblClick(), DbError);
    EXPECT_EQ(d_.count("SELECT COUNT(*) FROM REK2_ZBIR"), 0);
    EXPECT_EQ(d_.count("SELECT COUNT(*) FROM REK2_ANAL"), 0);
    EXPECT_EQ(d_.count("SELECT COUNT(*) FROM REK2_DOG WHERE STATUS = 'S'"), 0);
}

TEST_F(Pregled, RestoreMovesTheFileOnlyWhenItsArchiveCopyIsComplete)
{
    writeUnsent("REK2_A_104.xml", "<Envelope>104</Envelope>");
    PregledActions a(d_.ctx, editor_, hooks_);
    a.SpeedButton1Click();

    // An archive folder that cannot take the copy: the error is shown,
    // nothing is deleted and nothing changed in the tables.
    const QString blocker = dir_.filePath("not-a-folder");
    {
        QFile f(blocker);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    d_.ctx.settings.XMLArhiv = blocker + "/";
    ASSERT_TRUE(select(104));
    editor_.result = 7;
    try {
        a.dbgPregledDblClick();
        ADD_FAILURE() << "no error";
    } catch (const ReviewError& e) {
        EXPECT_TRUE(e.message().startsWith("Datoteke ")) << e.message().toStdString();
    }
    EXPECT_TRUE(QFile::exists(d_.ctx.settings.XMLPath + "REK2_A_104.xml"));
    EXPECT_EQ(d_.count("SELECT COUNT(*) FROM REK2_ZBIR_HST WHERE ID_REK2_ZBIR = 104"), 1);
    EXPECT_EQ(d_.count("SELECT COUNT(*) FROM REK2_ANAL_HST WHERE ID_REK2_ZBIR = 104"), 3);
    EXPECT_EQ(d_.count("SELECT COUNT(*) FROM REK2_ZBIR"), 0);
    EXPECT_EQ(d_.count("SELECT COUNT(*) FROM REK2_DOG WHERE XML_FILE = 'REK2_A_104.xml'"), 3);

    // With the archive folder writable and the first name taken.
    d_.ctx.settings.XMLArhiv = dir_.filePath("arhiv") + "/";
    {
        QFile taken(d_.ctx.settings.XMLArhiv + "REK2_A_104_neuspesan.xml");
        ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
        taken.write("older");
    }
    std::optional<KopirajResult> seen;
    hooks_.copied = [&](const KopirajResult& r) { seen = r; };
    PregledActions b(d_.ctx, editor_, hooks_);
    b.SpeedButton1Click();
    ASSERT_TRUE(select(104));
    b.dbgPregledDblClick();
    ASSERT_TRUE(seen.has_value());
    EXPECT_TRUE(seen->restore);
    EXPECT_FALSE(QFile::exists(d_.ctx.settings.XMLPath + "REK2_A_104.xml"));
    QFile kept(d_.ctx.settings.XMLArhiv + "REK2_A_104_neuspesan_2.xml");
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "<Envelope>104</Envelope>");
    EXPECT_EQ(describeCopy(*seen), QStringList{"Premaknjeno: " + d_.ctx.settings.XMLPath +
                                               "REK2_A_104.xml -> " + kept.fileName()});
    // Back in work with its identifiers; the row of another tax day stays in history.
    EXPECT_EQ(d_.scalar("SELECT CORRECTIONTYPE FROM REK2_ZBIR WHERE ID_REK2_ZBIR = 104").toString(), "O");
    EXPECT_EQ(
        d_.count("SELECT COUNT(*) FROM REK2_ANAL WHERE ID_REK2_ZBIR = 104 AND ID_REK2_ANAL IN (1041, 1042)"),
        2);
    EXPECT_EQ(d_.count("SELECT COUNT(*) FROM REK2_ZBIR_HST WHERE ID_REK2_ZBIR = 104"), 0);
    EXPECT_EQ(
        d_.count("SELECT COUNT(*) FROM REK2_DOG WHERE ID_REK2_ANAL IN (1041, 1042) AND XML_FILE IS NULL"), 2);
    EXPECT_EQ(d_.ctx.odsNabor.RecordCount(), 2);
}

TEST_F(Pregled, RestoreOfAReturnWhoseFileIsGone)
{
    std::optional<KopirajResult> seen;
    hooks_.copied = [&](const KopirajResult& r) { seen = r; };
    PregledActions a(d_.ctx, editor_, hooks_);
    a.SpeedButton1Click();
    ASSERT_TRUE(select(104));
    editor_.result = 7;
    a.dbgPregledDblClick();
    ASSERT_TRUE(seen.has_value());
    EXPECT_EQ(
        describeCopy(*seen),
        QStringList{"Datoteke REK2_A_104.xml ni v mapi neposlanih; premaknjena ni bila nobena datoteka."});
    EXPECT_TRUE(QDir(d_.ctx.settings.XMLArhiv).isEmpty());
    EXPECT_EQ(
        d_.count("SELECT COUNT(*) FROM REK2_DOG WHERE ID_REK2_ANAL IN (1041, 1042) AND XML_FILE IS NULL"), 2);
    EXPECT_EQ(d_.count("SELECT COUNT(*) FROM REK2_ZBIR_HST WHERE ID_REK2_ZBIR = 104"), 0);
}

TEST(CopyRefusal, TheEditorsButtons)
{
    const QDateTime now(QDate(2026, 12, 10), QTime(12, 0));
    struct Case
    {
        const char* type;
        QDate paid;
        bool cancellation;
        bool refused;
    };
    const Case cases[] = {
        {"O", {2026, 12, 1}, true, false},   {"O", {2026, 12, 1}, false, false},
        {"O", {2025, 12, 9}, false, true},   {"O", {2025, 12, 9}, true, false},
        {"O", {2025, 12, 11}, false, false}, {"P", QDate(), false, false},
        {"S", {2026, 12, 1}, true, true},    {"S", {2026, 12, 1}, false, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(!copyRefusal(c.type, c.paid, c.cancellation, now).isEmpty(), c.refused)
            << c.type << " " << c.paid.toString().toStdString() << " " << c.cancellation;
}

} // namespace
