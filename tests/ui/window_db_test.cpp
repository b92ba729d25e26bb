#include "db/error.h"
#include "db/query.h"
#include "db/session.h"
#include "support/fixture_db.h"
#include "support/test_engine.h"
#include "ui/dialogs.h"
#include "ui/grid/tfwwdbgrid.h"
#include "ui/tfrek.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using rek2::TfRek;

namespace {

// A window on a fixture registry, its installation folder a temporary one;
// dialogs are recorded and answered with their first button.
struct WindowOnDb : ::testing::Test
{
    rek2::test::FixtureDb fx{rek2::test::FixtureDb::Content::SifBasics};
    QTemporaryDir home;
    QStringList dialogs;

    void SetUp() override
    {
        qputenv("REK2_HOME", home.path().toUtf8());
        rek2::setDialogInterceptor([this](const rek2::DialogRequest& r) {
            dialogs << r.text;
            return 1;
        });
        fx.exec("INSERT INTO OSB (SFOSB, NZV, IME, NSL, DVS) VALUES (2, 'Register ', 'd.d.', 'Trg 1', "
                "'87654321')");
        // The payer of this test, not the one the basic rows come with.
        fx.exec("UPDATE REK2_SIF SET NZV = 'Plačilni zastopnik d.o.o.' WHERE SSF = 'NAZIV_IZP'");
        fx.exec("UPDATE REK2_SIF SET NZV = 'Špela Čebin' WHERE SSF = 'ODGOV_OSB'");
    }
    void TearDown() override
    {
        rek2::setDialogInterceptor(nullptr);
        qunsetenv("REK2_HOME");
    }
    void writeIni(const QByteArray& text)
    {
        QFile f(home.filePath("rek2.ini"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
};

} // namespace

TEST_F(WindowOnDb, FirstShowingLogsOnAndTheParametersTabShowsTheSettings)
{
    writeIni("[Splošno]\nXMLPath=\\xml\nOdgovornaOsebaTel= 041 000 000 \n");
    TfRek w({fx.path(), "operater", "geslo"});
    EXPECT_FALSE(w.OracleSession1->Connected()); // creation does not log on
    w.show();
    ASSERT_TRUE(w.OracleSession1->Connected());
    EXPECT_TRUE(dialogs.isEmpty()) << dialogs.join('|').toStdString();

    w.PageControl1->setCurrentIndex(3);
    EXPECT_EQ(w.eIzp->text(), QStringLiteral("Plačilni zastopnik d.o.o."));
    EXPECT_EQ(w.eOdgOsb->text(), QStringLiteral("Špela Čebin")); // from the database
    EXPECT_TRUE(w.lOdgOsebaIni->isHidden());
    EXPECT_EQ(w.eTelOdgOsb->text(), "041 000 000"); // the INI wins
    EXPECT_FALSE(w.lOdgOsebaTelIni->isHidden());
    EXPECT_EQ(w.eXMLPot->text(), "\\xml");
    EXPECT_TRUE(w.eSfDogDvcOdt->isHidden()); // no gross-dividend support

    // Saving from the tab: a new sub-account reaches the database.
    w.eVplPodRCN->setText("01100-2");
    w.bShraniIni->click();
    EXPECT_TRUE(dialogs.isEmpty()) << dialogs.join('|').toStdString();
    EXPECT_EQ(w.settings().VplPodracun, "01100-2");
    w.close();
}

TEST_F(WindowOnDb, GrossDividendRowAndT2sMessage)
{
    fx.exec("INSERT INTO INISET (KLJUC, VREDNOST) VALUES ('HasBrutoDividende', 'D')");
    for (const bool t2s : {false, true}) {
        dialogs.clear();
        writeIni(QByteArray("[Splošno]\nSfDogDvcOdt=1,2\nT2S=") + (t2s ? "1" : "0") + "\n");
        TfRek w({fx.path(), "operater", "geslo"});
        w.show();
        if (t2s)
            EXPECT_EQ(dialogs,
                      QStringList{
                          "Podpora za bruto dividende ni kompatibilna s T2S, prosimo kontaktirajte Pelvo."});
        else
            EXPECT_TRUE(dialogs.isEmpty());
        EXPECT_EQ(w.settings().FHasBrutoDiv, !t2s);
        w.PageControl1->setCurrentIndex(3);
        EXPECT_EQ(w.eSfDogDvcOdt->isHidden(), t2s);
        EXPECT_EQ(w.lSfDogDvcOdt->isHidden(), t2s);
        EXPECT_EQ(w.eSfDogDvcOdt->text(), t2s ? "" : "1,2");
        w.close();
    }
}

TEST_F(WindowOnDb, UnknownDatabaseWithoutFallbackGivesOneMessageAndCloses)
{
    writeIni("[Splošno]\nServerName=\n");
    TfRek w({"NI_TAKE_BAZE", "operater", "geslo"});
    w.show();
    ASSERT_EQ(dialogs.size(), 1);
    EXPECT_TRUE(dialogs[0].startsWith("Napaka pri iskanju BDE aliasa NI_TAKE_BAZE: "))
        << dialogs[0].toStdString();
    QApplication::processEvents();
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(w.PageControl1->isEnabled());
}

TEST_F(WindowOnDb, ServerNameIsTheFallbackForAnUnknownAlias)
{
    writeIni(QByteArray("[Splošno]\nServerName=") + fx.path().toUtf8() + "\n");
    TfRek w({"NI_TAKE_BAZE", "operater", "geslo"});
    w.show();
    EXPECT_TRUE(dialogs.isEmpty()) << dialogs.join('|').toStdString();
    EXPECT_TRUE(w.OracleSession1->Connected());
    EXPECT_EQ(w.settings().NazivIzp, QStringLiteral("Plačilni zastopnik d.o.o."));
    w.close();
}

TEST_F(WindowOnDb, SwitchingToReportsReloadsBothListsEveryTime)
{
    writeIni("[Splošno]\nXMLPath=\\neposlano\nXMLArhiv=\\poslano\n");
    TfRek w({fx.path(), "operater", "geslo"});
    w.show();
    auto touch = [&](const QString& name) {
        QFile f(home.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    };
    touch("neposlano/a.xml");
    w.PageControl1->setCurrentIndex(1);
    EXPECT_EQ(w.lbNeposlana->count(), 1);
    EXPECT_EQ(w.lbPoslana->count(), 0);
    touch("neposlano/b.xml");
    touch("poslano/c.xml");
    w.PageControl1->setCurrentIndex(0);
    w.PageControl1->setCurrentIndex(1);
    EXPECT_EQ(w.lbNeposlana->count(), 2);
    EXPECT_EQ(w.lbPoslana->count(), 1);
    w.close();
}

TEST_F(WindowOnDb, HandlersSeeThePickersAndTheMarkedSummaries)
{
    writeIni("[Splošno]\n");
    fx.exec("INSERT INTO REK2_ZBIR (ID_REK2_ZBIR, SFVP, DATUM_IZP) VALUES (11, 'A', '2026-12-01'), (12, 'B', "
            "'2026-12-01'),"
            " (13, 'C', '2026-12-01')");
    TfRek w({fx.path(), "operater", "geslo"});
    w.show();
    w.ctx.odsREK2_Zbir.SQL = QStringList{"select Z.*, Z.ROWID from REK2_ZBIR Z order by ID_REK2_ZBIR"};
    w.ctx.odsREK2_Zbir.Open();
    ASSERT_EQ(w.dbgZbirni->model()->rowCount(), 3);
    auto* sel = w.dbgZbirni->selectionModel();
    sel->clearSelection();
    for (int row : {0, 2})
        sel->select(w.dbgZbirni->model()->index(row, 0),
                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    w.dtpDatumOd->setDate(QDate(2026, 12, 1));
    w.cbXMLZaVseZbirne->setChecked(true);

    rek2::RekContext* seen = nullptr;
    EXPECT_TRUE(w.guarded([&] { seen = &w.ctx; }));
    ASSERT_NE(seen, nullptr);
    EXPECT_EQ(seen->selectedZbirIds, (QList<int>{11, 13}));
    EXPECT_EQ(seen->datumOd, QDate(2026, 12, 1));
    EXPECT_EQ(seen->datumDo, QDate(2026, 12, 1));
    EXPECT_TRUE(seen->xmlZaVseZbirne);
    w.close();
}

TEST_F(WindowOnDb, UnreachableFallbackShowsTheServersMessageAndLeavesTheWindowUsable)
{
    writeIni(QByteArray("[Splošno]\nServerName=") + home.filePath("ni.db").toUtf8() + "\n");
    TfRek w({"NI_TAKE_BAZE", "operater", "geslo"});
    w.show();
    ASSERT_EQ(dialogs.size(), 1);
    EXPECT_FALSE(dialogs[0].startsWith("Napaka pri iskanju BDE aliasa"));
    EXPECT_FALSE(w.OracleSession1->Connected());
    QApplication::processEvents();
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.PageControl1->isEnabled());
    EXPECT_TRUE(w.Panel6->isHidden());
    w.close();
}

// A long action lets the window's events run at its fixed points, and while
// the engine works (here: waits for another writer's lock) the window keeps
// handling them, so it repaints and the desktop does not call it frozen; but
// it is not closed under the work.
TEST_F(WindowOnDb, LongWorkKeepsTheWindowAliveButOpen)
{
    writeIni("[Splošno]\n");
    TfRek w({fx.path(), "operater", "geslo"});
    w.show();
    ASSERT_TRUE(w.OracleSession1->Connected());

    bool closedMidAction = true;
    QTimer::singleShot(0, &w, [&] { closedMidAction = w.close(); });
    w.ProcessEvents();
    EXPECT_FALSE(closedMidAction);
    EXPECT_TRUE(w.isVisible());

    rek2::Session holder;
    holder.LogonDatabase = fx.path();
    holder.LogOn();
    holder.StartTransaction();
    rek2::Query q;
    q.SetSession(&holder);
    q.SQL << "UPDATE REK2_SIF SET NZV = 'Drug' WHERE SSF = 'ODGOV_OSB'";
    q.Execute();

    bool ranWhileWaiting = false;
    bool closed = true;
    QTimer::singleShot(0, &w, [&] {
        ranWhileWaiting = w.OracleSession1->inPulse();
        closed = w.close();
    });
    // SQLite waits to begin the transaction, PostgreSQL to change the row.
    w.OracleSession1->setBusyTimeout(600);
    EXPECT_THROW(
        {
            w.OracleSession1->StartTransaction();
            rek2::Query mine;
            mine.SetSession(w.OracleSession1.get());
            mine.SQL << "UPDATE REK2_SIF SET NZV = 'Moj' WHERE SSF = 'ODGOV_OSB'";
            mine.Execute();
        },
        rek2::DbError);
    w.OracleSession1->Rollback();
    EXPECT_TRUE(ranWhileWaiting);
    EXPECT_FALSE(closed);
    EXPECT_TRUE(w.isVisible());

    holder.Rollback();
    EXPECT_TRUE(w.close());
}
