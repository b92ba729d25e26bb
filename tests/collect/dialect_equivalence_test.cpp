#include "collect/collection_run.h"
#include "collect/registry_fixture.h"
#include "collect/statements.h"
#include "db/dataset.h"
#include "db/error.h"
#include "db/postgres/collect_statements.h"
#include "db/postgres/working_statements_postgres.h"
#include "db/query.h"
#include "db/sqlite/collect_statements.h"
#include "db/transaction.h"
#include "returns/working_statements.h"
#include "support/test_engine.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace rek2;
using namespace rek2::collect;
using rek2::test::CollectFixture;

namespace {

// Builds the analytic rows of the period's links with the analytic
// statement, as stored or hand-written; returns the links and the rows.
QStringList buildRows(CollectFixture& f, bool handWritten)
{
    const Settings& s = f.ctx.settings;
    Transaction tx(f.session);
    Query rows;
    rows.SetSession(&f.session);
    rows.SQL = analyticStatement(s).split('\n');
    if (handWritten) {
        sqlite::collectLaterLinks(f.session, f.ctx.datumOd, f.ctx.datumDo);
        rows.SetEngineSQL("QSQLITE", sqlite::analyticStatement(s).split('\n'));
        rows.SetEngineSQL("QPSQL", collect::postgres::analyticInsert(s).split('\n'));
    }
    rows.DeclareAndSet("DatumOd", VarType::Date, f.ctx.datumOd);
    rows.DeclareAndSet("DatumDo", VarType::Date, f.ctx.datumDo);
    rows.DeclareAndSet("SfVpGotEUR", VarType::Integer, 978);
    rows.Execute();
    tx.commit();
    return f.links() + f.analyticRows();
}

// Links the period's events with the event statement, then builds the
// analytic rows with the analytic statement; each as stored (Oracle text
// through the dialect) or in its hand-written SQLite form. Returns the links
// and the rows.
QStringList collectRows(CollectFixture& f, bool handWritten)
{
    f.db.exec("DELETE FROM REK2_ANAL");
    f.db.exec("DELETE FROM REK2_DOG");
    const Settings& s = f.ctx.settings;
    Transaction tx(f.session);
    Query events;
    events.SetSession(&f.session);
    events.SQL = eventStatement(s).split('\n');
    if (handWritten) {
        sqlite::collectLaterLinks(f.session, f.ctx.datumOd, f.ctx.datumDo);
        events.SetEngineSQL("QSQLITE", sqlite::eventStatement(s).split('\n'));
        events.SetEngineOracleSQL("QPSQL", collect::postgres::eventStatement(s).split('\n'));
    }
    events.DeclareAndSet("DatumOd", VarType::Date, f.ctx.datumOd);
    events.DeclareAndSet("DatumDo", VarType::Date, f.ctx.datumDo);
    events.Execute();
    tx.commit();
    return buildRows(f, handWritten);
}

} // namespace

// The event and analytic statements as stored (Oracle text through the
// dialect) and their hand-written SQLite forms give the same links and rows,
// in every variant and placeholder form, for the payout day and for the
// later tax day; a payout with two withholding links fails in both.
TEST(CollectDialect, StoredAndHandWrittenCollectionStatementsAgree)
{
    CollectFixture f;
    // Two more payouts of one holder: one whose withholding event has no tax
    // date yet, one whose withholding link points to an event that is gone.
    f.db.exec("INSERT INTO DOG (IDDOG, SFDOG, SFPDG, DAN, IDPOG, SFKPN, SFVP, LOT, TCJVLT, OBRVLT) VALUES "
              "(1015, '500', '=', '2009-06-15', 3, 501, 1, 20, 1, 2), "
              "(1016, '500', '=', '2009-06-15', 4, 502, 2, 25, 1, 1.5)");
    f.db.exec("INSERT INTO DOG (IDDOG, SFDOG, SFPDG, DAN, IDPOG, LOT, TCJVLT, GOT, SFVPGOT) VALUES "
              "(2015, '601', '-', '2009-06-15', 3, -8, 1, -8, 978)");
    f.db.exec("INSERT INTO DOGLNK VALUES (1015, 2015, 'R'), (1016, 2999, 'R')");
    // A withholding code with a slash, which is text and no division.
    f.db.exec("UPDATE DOG SET SFDOG = '6/01' WHERE IDDOG = 2003");
    struct Form
    {
        const char* name;
        bool bruto, neRez, t2s;
    };
    const Form forms[] = {
        {"standard", false, false, false},
        {"standard, non-residents", false, true, false},
        {"standard, T2S", false, false, true},
        {"gross dividends", true, false, false},
        {"gross dividends, non-residents", true, true, false},
    };
    for (const auto& form : forms) {
        f.ctx.settings.FHasBrutoDiv = form.bruto;
        f.ctx.settings.SfDogDvcOdt = form.bruto ? "'601','6/01'" : "";
        f.ctx.settings.FREK_5700_neRez = form.neRez;
        f.ctx.settings.T2S = form.t2s;
        for (const QDate day : {QDate(2009, 6, 15), QDate(2009, 7, 10)}) {
            f.period(QDate(2009, 6, 1), day);
            const QStringList stored = collectRows(f, false);
            const QStringList handWritten = collectRows(f, true);
            EXPECT_FALSE(stored.isEmpty()) << form.name;
            EXPECT_EQ(stored, handWritten) << form.name << " to " << day.toString().toStdString();
        }
    }

    f.db.exec("INSERT INTO DOGLNK VALUES (1001, 2002, 'R')");
    for (const bool handWritten : {false, true})
        EXPECT_THROW(collectRows(f, handWritten), DbError) << handWritten;
}

// A day collected before: with every link of its payouts in a row, neither
// form gives a row again; a payout whose link is pending again gives its row
// in both, as does a link pending with no row at all.
TEST(CollectDialect, RecollectedDayGivesRowsOnlyForPendingLinks)
{
    CollectFixture f;
    f.period(QDate(2009, 6, 1), QDate(2009, 6, 15));
    const char* const pending[] = {
        nullptr,
        "UPDATE REK2_DOG SET ID_REK2_ANAL = 0 WHERE ID_DOG = (SELECT MAX(L.ID_DOG) FROM REK2_DOG L JOIN DOG "
        "D "
        "ON D.IDDOG = L.ID_DOG WHERE D.SFPDG = '=')",
        "UPDATE REK2_DOG SET ID_REK2_ANAL = NULL WHERE ID_DOG = (SELECT MIN(L.ID_DOG) FROM REK2_DOG L JOIN "
        "DOG "
        "D ON D.IDDOG = L.ID_DOG WHERE D.SFPDG = '=')",
    };
    for (const char* again : pending) {
        QStringList rows[2];
        for (const bool handWritten : {false, true}) {
            collectRows(f, handWritten);
            f.db.exec("DELETE FROM REK2_ANAL");
            f.db.exec("UPDATE REK2_DOG SET ID_REK2_ANAL = 7");
            if (again)
                f.db.exec(again);
            rows[handWritten] = buildRows(f, handWritten);
        }
        EXPECT_EQ(rows[0], rows[1]) << (again ? again : "all linked");
        EXPECT_EQ(f.analyticRows().isEmpty(), again == nullptr) << (again ? again : "all linked");
    }
}

// The smaller stored statements of the collection run through the dialect.
TEST(CollectDialect, LookUpsRunThroughTheDialect)
{
    CollectFixture f;
    auto first = [&](const QStringList& sql, const QList<std::pair<QString, QVariant>>& vars) {
        Query q;
        q.SetSession(&f.session);
        q.SQL = sql;
        for (const auto& [name, value] : vars)
            q.DeclareAndSet(name,
                            value.typeId() == QMetaType::QDate ? VarType::Date
                            : value.typeId() == QMetaType::Int ? VarType::Integer
                                                               : VarType::String,
                            value);
        q.Execute();
        return q.RowCount() > 0 ? q.FieldAsString(0) : QStringLiteral("<none>");
    };
    EXPECT_EQ(first({qTipSFKPN()}, {{"SFKPN", 505}}), "O");
    EXPECT_EQ(first({qTipSFVP()}, {{"KRT", "RS33"}}), "O");
    EXPECT_EQ(first({qTipSFVP()}, {{"KRT", "KRKG"}}), "D");
    EXPECT_EQ(first(qStopnja(), {{"DAN", QDate(2006, 12, 31)}, {"TIP", "D"}}), "25");
    EXPECT_EQ(first(qStopnja(), {{"DAN", QDate(2007, 1, 1)}, {"TIP", "D"}}), "20");
    EXPECT_EQ(first(qStopnja(), {{"DAN", QDate(1999, 1, 1)}, {"TIP", "D"}}), "<none>");
    EXPECT_EQ(first(odsKupon(), {}), "KRKG");
    EXPECT_EQ(first({euroChangeoverSql()}, {}), "2007-01-01");
    EXPECT_EQ(first({cleanupAnalSql()}, {}), "<none>");
}

// Re-grouping's source: the stored Oracle text through the dialect and the
// hand-written SQLite text that fetches only the columns re-grouping reads
// give the same rows in the same order, empty dates included.
TEST(CollectDialect, StoredAndHandWrittenSummarySourceAgree)
{
    CollectFixture f;
    f.period(QDate(2009, 6, 1), QDate(2009, 7, 10));
    collectRows(f, true);
    // Rows that differ only in what the order puts last.
    f.db.exec("UPDATE REK2_ANAL SET SFKPN = NULL WHERE SFVP = 'OMV'");
    f.db.exec("UPDATE REK2_ANAL SET SIF_VRSTE_DOH = NULL WHERE SFVP = 'TUJB'");
    // The first row moves behind the rows of equal keys that followed it.
    f.db.exec("UPDATE REK2_ANAL SET ID_REK2_ANAL = 9000 WHERE ID_REK2_ANAL = (SELECT MIN(ID_REK2_ANAL) FROM "
              "REK2_ANAL)");

    auto open = [&](DataSet& ds, bool handWritten) {
        ds.SetSession(&f.session);
        ds.SQL = odsNaborREK2();
        if (handWritten)
            ds.SetEngineSQL(sqlite::kEngine, sqlite::regroupSource(ds.SQL), sqlite::regroupSourceOrder());
        ds.DeclareAndSet("DatumOd", VarType::Date, f.ctx.datumOd);
        ds.DeclareAndSet("DatumDo", VarType::Date, f.ctx.datumDo);
        ds.Open();
    };
    DataSet stored, handWritten;
    open(stored, false);
    open(handWritten, true);
    ASSERT_GT(stored.RecordCount(), 5);
    ASSERT_EQ(handWritten.RecordCount(), stored.RecordCount());
    // Rows in the order read, rows of equal keys included: the first of a
    // group gives the summary its identifier and the order of the sums.
    auto rows = [](const DataSet& ds) {
        const QStringList keys{"DATUM_IZP_DIV", "DATUM_PLC_DVK", "SFKPN", "SFVP", "SIF_VRSTE_DOH"};
        const QStringList rest{"ID_REK2_ANAL", "ID_REK2_ZBIR",   "REZ", "ZNIZANASTOPNJA", "BRUTO",
                               "DAV_ODT_OBR",  "DAV_ODT_ODB_TUJ"};
        auto text = [&](int r, const QStringList& columns) {
            QStringList fields;
            for (const QString& c : columns) {
                const QVariant v = ds.Value(r, ds.FieldIndex(c));
                fields << (v.isNull() ? QStringLiteral("<null>") : v.toString());
            }
            return fields.join('|');
        };
        std::pair<QStringList, QStringList> out;
        for (int r = 0; r < ds.RecordCount(); ++r) {
            out.first << text(r, keys);
            out.second << text(r, keys + rest);
        }
        return out;
    };
    const auto [storedKeys, storedRows] = rows(stored);
    const auto [handKeys, handRows] = rows(handWritten);
    EXPECT_EQ(handKeys, storedKeys);
    EXPECT_EQ(handRows, storedRows);
}

// The analytic working statement as stored and its SQLite form (rates looked
// up once per coupon and day) give the same rows in the same order, with and
// without the summary filter, over a period with a later tax day.
TEST(CollectDialect, StoredAndHandWrittenAnalyticWorkingStatementsAgree)
{
    CollectFixture f;
    f.ctx.settings.FREK_5700_neRez = true;
    f.period(QDate(2009, 6, 1), QDate(2009, 7, 31));
    collect::CollectionRun(f.ctx).bNaborClick();
    f.db.exec("UPDATE REK2_ANAL SET SFKPN = NULL WHERE SFKPN = 505"); // a row without a coupon
    // A row already written to a file (left out) and a row without events (kept).
    const int written = f.scalar("SELECT MIN(ID_REK2_ANAL) FROM REK2_DOG WHERE ID_REK2_ANAL > 0").toInt();
    const int eventless = f.scalar("SELECT MAX(ID_REK2_ANAL) FROM REK2_DOG").toInt();
    ASSERT_NE(written, eventless);
    f.db.exec(QString("UPDATE REK2_DOG SET XML_FILE = 'r.xml' WHERE ID_REK2_ANAL = %1").arg(written));
    f.db.exec(QString("DELETE FROM REK2_DOG WHERE ID_REK2_ANAL = %1").arg(eventless));

    auto rows = [&](std::optional<int> idZbir, bool handWritten) {
        DataSet ds("odsNabor");
        ds.SetSession(&f.session);
        if (handWritten) {
            openAnalyticWorking(ds, f.ctx.datumOd, f.ctx.datumDo, idZbir);
        } else {
            ds.SQL = analyticWorkingStatement(idZbir);
            ds.DeclareAndSet("DatumOd", VarType::Date, f.ctx.datumOd);
            ds.DeclareAndSet("DatumDo", VarType::Date, f.ctx.datumDo);
            ds.Open();
        }
        QStringList out;
        QStringList types;
        for (int c = 0; c < ds.FieldCount(); ++c)
            types << ds.Fields(c)->FieldName() + ":" + QString::number(int(ds.Fields(c)->DataType()));
        out << types.join('|');
        for (int r = 0; r < ds.RecordCount(); ++r) {
            QStringList values;
            for (int c = 0; c < ds.FieldCount(); ++c)
                values << ds.Fields(c)->FieldName() + "=" + ds.Value(r, c).toString();
            out << values.join('|');
        }
        return out;
    };
    const QStringList all = rows(std::nullopt, false);
    ASSERT_GE(all.size(), 11);
    EXPECT_EQ(rows(std::nullopt, true), all);
    EXPECT_TRUE(all.join('\n').contains("Stopnja=20|", Qt::CaseInsensitive)) << all.join('\n').toStdString();
    EXPECT_TRUE(all.join('\n').contains("Stopnja=25|", Qt::CaseInsensitive));
    EXPECT_TRUE(all.join('\n').contains("Stopnja=|", Qt::CaseInsensitive));
    EXPECT_FALSE(all.join('\n').contains(QString("ID_REK2_ANAL=%1|").arg(written)));
    EXPECT_TRUE(all.join('\n').contains(QString("ID_REK2_ANAL=%1|").arg(eventless)));
    const int idZbir = f.scalar("SELECT MIN(ID_REK2_ZBIR) FROM REK2_ANAL WHERE ID_REK2_ZBIR > 0").toInt();
    EXPECT_FALSE(rows(idZbir, false).isEmpty());
    EXPECT_EQ(rows(idZbir, true), rows(idZbir, false));

    // A second rate row for a day the rows use is an error in both.
    f.db.exec("INSERT INTO DVK_STP SELECT * FROM DVK_STP WHERE STOPNJA = 20");
    EXPECT_THROW(rows(std::nullopt, false), DbError);
    EXPECT_THROW(rows(std::nullopt, true), DbError);
}

// A group's re-assignment as stored (IN lists of literals, here cut at two)
// and in its SQLite form (the identifiers bound as one array) moves the same
// rows; identifiers 0 and of rows not there change nothing.
TEST(CollectDialect, StoredAndHandWrittenReassignmentsAgree)
{
    CollectFixture f;
    f.period(QDate(2009, 6, 1), QDate(2009, 7, 10));
    collectRows(f, true);
    std::vector<int> ids{0, 987654};
    const QStringList all = f.scalar("SELECT GROUP_CONCAT(ID_REK2_ANAL) FROM REK2_ANAL").split(',');
    ASSERT_GE(all.size(), 4);
    for (int i = 0; i < all.size(); i += 2)
        ids.push_back(all[i].toInt());

    auto reassign = [&](bool handWritten) {
        f.db.exec("UPDATE REK2_ANAL SET ID_REK2_ZBIR = 5");
        Query q;
        q.SetSession(&f.session);
        q.SQL = reassignmentSql(77, ids, 2).split('\n');
        q.SetEngineSQL(f.session.engine(), q.SQL);
        if (handWritten) {
            q.SetEngineSQL(sqlite::kEngine, {sqlite::reassignRows()});
            q.DeclareAndSet("ID_REK2_ZBIR", VarType::Integer, 77);
            q.DeclareAndSet("IDS", VarType::String, reassignmentIds(ids));
        }
        q.Execute();
        return f.scalar("SELECT GROUP_CONCAT(ID_REK2_ANAL || ':' || ID_REK2_ZBIR) FROM REK2_ANAL");
    };
    const QString stored = reassign(false);
    EXPECT_TRUE(stored.contains(":77") && stored.contains(":5")) << stored.toStdString();
    EXPECT_EQ(reassign(true), stored);
}

// The link update as SQLite runs it (rows looked up per link) and as
// PostgreSQL runs it (one join, spelled here for SQLite) link the same links
// to the same rows and count the same links: a holder without a tax number,
// a tax paid on a later day, a link matching two rows, a link whose row is
// outside this run's summaries, a link without its event, links already
// linked, unlinked as 0 and as null; in both variants.
TEST(CollectDialect, LookedUpAndJoinedLinkUpdatesAgree)
{
    REK2_SQLITE_ONLY();
    for (const bool bruto : {false, true}) {
        SCOPED_TRACE(bruto ? "gross dividends" : "standard");
        CollectFixture f;
        f.ctx.settings.FHasBrutoDiv = bruto;
        f.ctx.settings.SfDogDvcOdt = bruto ? "601" : "";
        f.ctx.settings.FREK_5700_neRez = true; // Hans Müller, without a tax number
        f.period(QDate(2009, 6, 1), QDate(2009, 7, 10));
        CollectionRun run(f.ctx);
        run.bNaborClick();
        const QString ids = run.summaryIds();
        auto rowOf = [&](int event, const char* kind = "D") {
            return f.scalar(
                QString("SELECT ID_REK2_ANAL FROM REK2_DOG WHERE ID_DOG = %1 AND DAVCNI_ODTEGLJAJ = '%2'")
                    .arg(event)
                    .arg(kind));
        };
        const QString hans = rowOf(1004), later = rowOf(1012);
        // A second row equal to Ana's, one of Bor's rows in no summary of the
        // run, one event gone.
        f.db.exec("CREATE TABLE COPY AS SELECT * FROM REK2_ANAL WHERE ID_REK2_ANAL = " + rowOf(1001));
        f.db.exec("UPDATE COPY SET ID_REK2_ANAL = 9001");
        f.db.exec("INSERT INTO REK2_ANAL SELECT * FROM COPY");
        f.db.exec("UPDATE REK2_ANAL SET ID_REK2_ZBIR = 999 WHERE ID_REK2_ANAL = " + rowOf(1006));
        f.db.exec("DELETE FROM DOG WHERE IDDOG = 1007");
        // Links to be linked again, as 0 or as null; one stays as it is.
        f.db.exec(
            "CREATE TABLE LINKS AS SELECT ROWID AS RID, (CASE WHEN ID_DOG = 1002 THEN ID_REK2_ANAL WHEN "
            "ID_DOG % 2 = 1 THEN NULL ELSE 0 END) AS ID_REK2_ANAL FROM REK2_DOG");

        auto link = [&](const QString& text) {
            f.db.exec("UPDATE REK2_DOG SET ID_REK2_ANAL = (SELECT L.ID_REK2_ANAL FROM LINKS L WHERE L.RID = "
                      "REK2_DOG.ROWID)");
            Query q;
            q.SetSession(&f.session);
            q.SQL = linkUpdateSql(f.ctx.settings, ids).split('\n');
            q.SetEngineSQL(sqlite::kEngine, text.split('\n'));
            q.Execute();
            return QString::number(q.RowsProcessed()) + " " +
                   f.scalar(
                       "SELECT GROUP_CONCAT(ID_DOG || ':' || DAVCNI_ODTEGLJAJ || ':' || IFNULL(ID_REK2_ANAL, "
                       "'null'), ' ') FROM (SELECT * FROM REK2_DOG ORDER BY ROWID)");
        };
        const QString joined = link(sqlite::linkUpdateJoined(f.ctx.settings, ids));
        EXPECT_EQ(link(sqlite::linkUpdate(f.ctx.settings, ids)).toStdString(), joined.toStdString());
        const QStringList links = joined.section(' ', 1).split(' ');
        EXPECT_TRUE(links.contains("1001:D:-1")) << joined.toStdString();
        EXPECT_TRUE(links.contains("1004:D:" + hans)) << joined.toStdString(); // no tax number
        EXPECT_FALSE(links.filter(QRegularExpression("^1006:D:(0|null)$")).isEmpty()) << joined.toStdString();
        EXPECT_FALSE(links.filter(QRegularExpression("^1007:D:(0|null)$")).isEmpty()) << joined.toStdString();
        if (!bruto) { // tax paid later
            EXPECT_TRUE(links.contains("1012:D:" + later)) << joined.toStdString();
        }
    }
}

// On PostgreSQL the analytic grid looks a row's unwritten links up by its
// identifier, and works the rate out once per coupon and day.
TEST(CollectDialect, PostgresGridLooksLinksUpByRow)
{
    for (const std::optional<int> summary : {std::optional<int>(), std::optional<int>(7)}) {
        const QString grid =
            rek2::postgres::analyticWorkingStatement(analyticWorkingStatement(summary)).join(' ');
        EXPECT_TRUE(grid.contains("EXISTS(select 1 FROM REK2_dog G where G.ID_REK2_ANAL=A.ID_REK2_ANAL"));
        EXPECT_FALSE(grid.contains("IN (select ID_REK2_ANAL", Qt::CaseInsensitive));
        EXPECT_TRUE(grid.contains(
            "select A.*, RT.RT_STOPNJA as Stopnja, A.ROWID FROM REK2_ANAL A LEFT OUTER JOIN RT"))
            << grid.toStdString();
    }
}
