#include "base/version.h"
#include "ui/dialogs.h"
#include "ui/grid/tfwwdbgrid.h"
#include "ui/tfrek.h"

#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDateEdit>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStyleOptionViewItem>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

using rek2::TfRek;

namespace {

// A window over an installation folder of its own; dialogs are recorded and
// answered with `answer` instead of being shown.
struct WindowFixture : ::testing::Test
{
    QTemporaryDir home;
    std::vector<rek2::DialogRequest> dialogs;
    int answer = 1;

    void SetUp() override
    {
        qputenv("REK2_HOME", home.path().toUtf8());
        rek2::setDialogInterceptor([this](const rek2::DialogRequest& r) {
            dialogs.push_back(r);
            return answer;
        });
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

TEST(Program, FewerThanThreeArgumentsEndSilently)
{
    for (const QStringList& args : {QStringList{}, QStringList{"baza", "operater"}}) {
        QProcess p;
        p.start(QStringLiteral(REK2_APP_EXE), args);
        ASSERT_TRUE(p.waitForFinished(10000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 0);
        EXPECT_TRUE(p.readAllStandardOutput().isEmpty());
        EXPECT_TRUE(p.readAllStandardError().isEmpty());
    }
}

TEST(Program, CaptionEndsWithTheVersion)
{
    EXPECT_EQ(rek2::mainWindowCaption(QStringLiteral("1.0.53.10")),
              QStringLiteral("Dnevno poročanje obrazca REK-2 v1.0.53.10"));
    EXPECT_EQ(rek2::mainWindowCaption(QString()), QStringLiteral("Dnevno poročanje obrazca REK-2 v"));
}

TEST_F(WindowFixture, CreationSetsCaptionTabsDatesAndCaptions)
{
    writeIni("[Splošno]\r\nDebug=0\r\n");
    TfRek w;
    EXPECT_TRUE(dialogs.empty());
    EXPECT_EQ(w.windowTitle(), rek2::mainWindowCaption(rek2::fileVersion()));
    EXPECT_EQ(w.size(), QSize(774, 639));
    ASSERT_EQ(w.PageControl1->count(), 4);
    const QStringList tabs{"Nabor", "Porocila", "Pregled", "Parametri"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(w.PageControl1->tabText(i), tabs[i]);
    EXPECT_EQ(w.PageControl1->currentIndex(), 0);

    const QDate today = QDate::currentDate();
    EXPECT_EQ(w.dtpDatumOd->date(), today.addDays(-1));
    EXPECT_EQ(w.dtpDatumDo->date(), today.addDays(-1));
    EXPECT_EQ(w.dtpPregledOd->date(), today.addDays(-31));
    EXPECT_EQ(w.dtpPregledDo->date(), today);

    struct Caption
    {
        const char* name;
        const char* text;
    } buttons[] = {{"SpeedButton2", "?"},           {"bXML", "XML"},
                   {"bNabor", "Prenos iz DOG"},     {"bImport", "Import iz XLS"},
                   {"bRefreshNeposlana", "Osveži"}, {"bSend", "Pošiljanje"},
                   {"bRefreshPoslana", "Osveži"},   {"SpeedButton1", "?"},
                   {"bShraniIni", "Shrani"},        {"bShraniXLSParams", "Shrani"}};
    for (const auto& b : buttons) {
        auto* button = w.findChild<QAbstractButton*>(QString::fromLatin1(b.name));
        ASSERT_NE(button, nullptr) << b.name;
        EXPECT_EQ(button->text(), QString::fromUtf8(b.text)) << b.name;
    }
    EXPECT_EQ(w.cbXMLZaVseZbirne->text(), QStringLiteral("za vse zbirne"));
    EXPECT_EQ(w.SpeedButton6->toolTip(), QStringLiteral("Brisanje zbirne in analitike"));
    EXPECT_FALSE(w.SpeedButton6->isEnabled());
    EXPECT_TRUE(w.pbImportXLS->isHidden());
    EXPECT_TRUE(w.Panel6->isHidden());
    EXPECT_EQ(w.Panel6->text(), QStringLiteral("REK2 poročanje"));
    for (const char* name : {"dbgZbirni", "dbgNabor", "dbgPregled", "dbgPredgledA"}) {
        auto* g = w.findChild<rek2::TFwwDBGrid*>(QString::fromLatin1(name));
        ASSERT_NE(g, nullptr) << name;
        EXPECT_TRUE(g->font().bold()) << name;
        EXPECT_EQ(g->font().pointSize(), 8) << name;
        EXPECT_EQ(g->multiSelect(), QByteArray(name) != "dbgPregled") << name;
    }
    for (const char* name : {"lbNeposlana", "lbPoslana"})
        EXPECT_NE(w.findChild<QListWidget*>(QString::fromLatin1(name)), nullptr) << name;
    EXPECT_NE(w.findChild<QTreeWidget*>("tvPregled"), nullptr);
}

TEST_F(WindowFixture, MissingIniIsReportedAndCreationGoesOn)
{
    TfRek w;
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].text, QStringLiteral("Manjka .ini datoteka!"));
    EXPECT_EQ(dialogs[0].kind, rek2::DialogKind::Information);
    EXPECT_FALSE(w.iniFound());
    EXPECT_TRUE(w.settings().XMLPath.isEmpty());
}

TEST_F(WindowFixture, DatumOdOverwritesDatumDoAndEnablesShow)
{
    writeIni("[Splošno]\n");
    TfRek w;
    w.SpeedButton2->setEnabled(false);
    w.dtpDatumDo->setDate(QDate(2026, 12, 31));
    w.dtpDatumOd->setDate(QDate(2026, 3, 2));
    EXPECT_EQ(w.dtpDatumDo->date(), QDate(2026, 3, 2));
    EXPECT_TRUE(w.SpeedButton2->isEnabled());
    // The review pickers are not coupled.
    const QDate before = w.dtpPregledDo->date();
    w.dtpPregledOd->setDate(QDate(2020, 1, 1));
    EXPECT_EQ(w.dtpPregledDo->date(), before);
}

TEST_F(WindowFixture, BusyIndicatorDisablesTabsLogsAndIsHiddenAfterAnError)
{
    writeIni("[Splošno]\nDebug=1\n");
    TfRek w;
    w.resize(800, 600);
    w.ShowMsgDlg(true, QStringLiteral("Nabor podatkov...."));
    EXPECT_FALSE(w.Panel6->isHidden());
    EXPECT_EQ(w.Panel6->text(), QStringLiteral("Nabor podatkov...."));
    EXPECT_EQ(w.Panel6->pos(), QPoint((800 - 185) / 2, (600 - 41) / 2));
    EXPECT_FALSE(w.PageControl1->isEnabled());
    EXPECT_FALSE(w.bNabor->isEnabled());

    QFile log(home.filePath("Log.txt"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(log.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral(": Start programa v") + rek2::fileVersion() + "\r\n"))
        << text.toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral(": Nabor podatkov.... začetak!\r\n"))) << text.toStdString();

    // A failing action: the busy indicator goes away and the error's own text is shown.
    EXPECT_FALSE(w.guarded([&] {
        rek2::BusyGuard busy(w, QStringLiteral("Nabor podatkov...."));
        throw std::runtime_error("ORA-00942: tabela ali pogled ne obstaja");
    }));
    EXPECT_TRUE(w.Panel6->isHidden());
    EXPECT_TRUE(w.PageControl1->isEnabled());
    ASSERT_FALSE(dialogs.empty());
    EXPECT_EQ(dialogs.back().text, QStringLiteral("ORA-00942: tabela ali pogled ne obstaja"));
}

TEST_F(WindowFixture, WarningDialogsCarryTitleIconAndCallersCaptions)
{
    writeIni("[Splošno]\n");
    TfRek w;
    answer = 2;
    EXPECT_EQ(w.Opozorilo(QStringLiteral("Ali res?"), QStringLiteral("V redu"), QStringLiteral("Preklic")),
              2);
    w.Napaka(QStringLiteral("Pot ni ok, preverite!"), QStringLiteral("V redu"));
    ASSERT_EQ(dialogs.size(), 2u);
    EXPECT_EQ(dialogs[0].title, QStringLiteral("Opozorilo!"));
    EXPECT_EQ(dialogs[0].kind, rek2::DialogKind::Warning);
    EXPECT_EQ(dialogs[0].buttons, (QStringList{"V redu", "Preklic"}));
    EXPECT_EQ(dialogs[1].title, QStringLiteral("Opozorilo!"));
    EXPECT_EQ(dialogs[1].buttons, QStringList{"V redu"});
}

// The real message box: how it is left decides the answer.
TEST(Dialogs, OpozoriloAnswers)
{
    enum class Leave { FirstButton, SecondButton, Escape, CloseBox };
    struct Case
    {
        Leave how;
        int expected;
    } cases[] = {{Leave::FirstButton, 1}, {Leave::SecondButton, 2}, {Leave::Escape, 2}, {Leave::CloseBox, 2}};
    for (const auto& c : cases) {
        QString title, icon;
        QStringList captions;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            title = box->windowTitle();
            icon = box->icon() == QMessageBox::Warning ? "warning" : "other";
            for (auto* b : box->buttons())
                captions << b->text();
            switch (c.how) {
            case Leave::FirstButton:
            case Leave::SecondButton:
                for (auto* b : box->buttons())
                    if (b->text() == (c.how == Leave::FirstButton ? "V redu!" : "Preklic"))
                        b->click();
                break;
            case Leave::Escape: {
                QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QApplication::sendEvent(box, &esc);
                break;
            }
            case Leave::CloseBox:
                box->close();
                break;
            }
        });
        const int got = rek2::showDialog(nullptr, {rek2::DialogKind::Warning,
                                                   QStringLiteral("Opozorilo!"),
                                                   QStringLiteral("Brisanje?"),
                                                   {"V redu!", "Preklic"}});
        EXPECT_EQ(got, c.expected) << int(c.how);
        EXPECT_EQ(title, QStringLiteral("Opozorilo!"));
        EXPECT_EQ(icon, QStringLiteral("warning"));
        captions.sort();
        EXPECT_EQ(captions, (QStringList{"Preklic", "V redu!"}));
    }
}

TEST_F(WindowFixture, UnwritableLogIsReportedOnceAndStopsNothing)
{
    writeIni("[Splošno]\nDebug=1\n");
    ASSERT_TRUE(QDir(home.path()).mkdir("Log.txt")); // a folder where the log file should be
    TfRek w;
    const QString first = w.statusBar()->currentMessage();
    EXPECT_TRUE(first.startsWith(QStringLiteral("Dnevnika"))) << first.toStdString();
    w.statusBar()->clearMessage();
    EXPECT_TRUE(w.guarded([&] {
        rek2::BusyGuard busy(w, QStringLiteral("Nabor podatkov...."));
        w.DebugMessage(QStringLiteral("TfRek.bNaborClick: korak"));
    }));
    EXPECT_TRUE(w.statusBar()->currentMessage().isEmpty()); // only the first failure is reported
    EXPECT_TRUE(dialogs.empty());
    EXPECT_TRUE(w.PageControl1->isEnabled());
}

TEST_F(WindowFixture, ButtonsReachTheirHandlersAndErrorsReachTheOperator)
{
    writeIni("[Splošno]\n");
    TfRek w;
    w.bSend->click();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].text, QStringLiteral("Povezava...."));
    EXPECT_EQ(dialogs[0].title, QStringLiteral("Opozorilo!"));

    // Not logged on: the collection's database error is shown, the window stays usable.
    dialogs.clear();
    w.bNabor->click();
    ASSERT_FALSE(dialogs.empty());
    EXPECT_TRUE(w.PageControl1->isEnabled());
    EXPECT_TRUE(w.Panel6->isHidden());
}

namespace {

// A window whose handlers only say that they were reached.
struct HandlerProbe : TfRek
{
    QStringList reached;

    void PageControl1Change(int) override { reached << "PageControl1Change"; }
    void dtpDatumOdChange() override { reached << "dtpDatumOdChange"; }
    void SpeedButton2Click() override { reached << "SpeedButton2Click"; }
    void bXMLClick() override { reached << "bXMLClick"; }
    void SpeedButton6Click() override { reached << "SpeedButton6Click"; }
    void bNaborClick() override { reached << "bNaborClick"; }
    void bImportClick() override { reached << "bImportClick"; }
    void SpeedButton3Click() override { reached << "SpeedButton3Click"; }
    void SpeedButton4Click() override { reached << "SpeedButton4Click"; }
    void SpeedButton5Click() override { reached << "SpeedButton5Click"; }
    void dbgZbirniCellClick(int) override { reached << "dbgZbirniCellClick"; }
    void dbgZbirniDblClick() override { reached << "dbgZbirniDblClick"; }
    void dbgZbirniExit() override { reached << "dbgZbirniExit"; }
    void dbgZbirniDrawColumnCell(int, int, QStyleOptionViewItem&) override
    {
        reached << "dbgZbirniDrawColumnCell";
    }
    void dbgNaborDblClick() override { reached << "dbgNaborDblClick"; }
    void dbgNaborDrawColumnCell(int, int, QStyleOptionViewItem&) override
    {
        reached << "dbgNaborDrawColumnCell";
    }
    void bRefreshNeposlanaClick() override { reached << "bRefreshNeposlanaClick"; }
    void bRefreshPoslanaClick() override { reached << "bRefreshPoslanaClick"; }
    void bSendClick() override { reached << "bSendClick"; }
    void tsPorocilaContextPopup() override { reached << "tsPorocilaContextPopup"; }
    void SpeedButton1Click() override { reached << "SpeedButton1Click"; }
    void tvPregledClick() override { reached << "tvPregledClick"; }
    void dbgPregledCellClick(int) override { reached << "dbgPregledCellClick"; }
    void dbgPregledDblClick() override { reached << "dbgPregledDblClick"; }
    void dbgPregledDrawColumnCell(int, int, QStyleOptionViewItem&) override
    {
        reached << "dbgPregledDrawColumnCell";
    }
    void dbgPredgledADblClick() override { reached << "dbgPredgledADblClick"; }
    void bShraniIniClick() override { reached << "bShraniIniClick"; }
    void bShraniXLSParamsClick() override { reached << "bShraniXLSParamsClick"; }
};

} // namespace

// Each control of the window reaches its own handler, and only that one.
TEST_F(WindowFixture, EveryControlReachesItsOwnHandler)
{
    writeIni("[Splošno]\n");
    HandlerProbe w;
    const struct
    {
        const char* button;
        const char* handler;
    } buttons[] = {
        {"SpeedButton2", "SpeedButton2Click"},
        {"bXML", "bXMLClick"},
        {"SpeedButton6", "SpeedButton6Click"},
        {"bNabor", "bNaborClick"},
        {"bImport", "bImportClick"},
        {"SpeedButton3", "SpeedButton3Click"},
        {"SpeedButton4", "SpeedButton4Click"},
        {"SpeedButton5", "SpeedButton5Click"},
        {"bRefreshNeposlana", "bRefreshNeposlanaClick"},
        {"bRefreshPoslana", "bRefreshPoslanaClick"},
        {"bSend", "bSendClick"},
        {"SpeedButton1", "SpeedButton1Click"},
        {"bShraniIni", "bShraniIniClick"},
        {"bShraniXLSParams", "bShraniXLSParamsClick"},
    };
    for (const auto& b : buttons) {
        auto* button = w.findChild<QAbstractButton*>(QString::fromLatin1(b.button));
        ASSERT_NE(button, nullptr) << b.button;
        button->setEnabled(true); // some wait for a state of the tab
        w.reached.clear();
        button->click();
        EXPECT_EQ(w.reached, QStringList{QString::fromLatin1(b.handler)}) << b.button;
    }

    auto* item = new QTreeWidgetItem(w.tvPregled, QStringList{QStringLiteral("REK2")});
    QStyleOptionViewItem option;
    const struct
    {
        const char* control;
        std::function<void()> act;
        const char* handler;
    } hooks[] = {
        {"PageControl1", [&] { w.PageControl1->setCurrentIndex(2); }, "PageControl1Change"},
        {"dtpDatumOd", [&] { w.dtpDatumOd->setDate(w.dtpDatumOd->date().addDays(-3)); }, "dtpDatumOdChange"},
        {"tsPorocila",
         [&] {
             QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(5, 5), w.tsPorocila->mapToGlobal(QPoint(5, 5)));
             QApplication::sendEvent(w.tsPorocila, &menu);
         },
         "tsPorocilaContextPopup"},
        {"tvPregled", [&] { emit w.tvPregled->itemClicked(item, 0); }, "tvPregledClick"},
        {"dbgZbirni cell click", [&] { w.dbgZbirni->OnCellClick(0); }, "dbgZbirniCellClick"},
        {"dbgZbirni double-click", [&] { w.dbgZbirni->OnDblClick(); }, "dbgZbirniDblClick"},
        {"dbgZbirni exit", [&] { w.dbgZbirni->OnExit(); }, "dbgZbirniExit"},
        {"dbgZbirni drawing", [&] { w.dbgZbirni->OnDrawColumnCell(0, 0, option); },
         "dbgZbirniDrawColumnCell"},
        {"dbgNabor double-click", [&] { w.dbgNabor->OnDblClick(); }, "dbgNaborDblClick"},
        {"dbgNabor drawing", [&] { w.dbgNabor->OnDrawColumnCell(0, 0, option); }, "dbgNaborDrawColumnCell"},
        {"dbgPregled cell click", [&] { w.dbgPregled->OnCellClick(0); }, "dbgPregledCellClick"},
        {"dbgPregled double-click", [&] { w.dbgPregled->OnDblClick(); }, "dbgPregledDblClick"},
        {"dbgPregled drawing", [&] { w.dbgPregled->OnDrawColumnCell(0, 0, option); },
         "dbgPregledDrawColumnCell"},
        {"dbgPredgledA double-click", [&] { w.dbgPredgledA->OnDblClick(); }, "dbgPredgledADblClick"},
    };
    for (const auto& h : hooks) {
        w.reached.clear();
        h.act();
        EXPECT_EQ(w.reached, QStringList{QString::fromLatin1(h.handler)}) << h.control;
    }
    EXPECT_TRUE(dialogs.empty());
}

// Abort/Ignore of the collection: only an explicit Ignore goes on.
TEST(Dialogs, AbortIgnoreClosedIsAbort)
{
    for (const bool pressIgnore : {false, true}) {
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->windowTitle(), QStringLiteral("Opozorilo!"));
            if (pressIgnore)
                box->button(QMessageBox::Ignore)->click();
            else
                box->close();
        });
        const int got = rek2::showDialog(nullptr, {rek2::DialogKind::AbortIgnore,
                                                   QStringLiteral("Opozorilo!"),
                                                   QStringLiteral("Prejemnik se ponovi."),
                                                   {}});
        EXPECT_EQ(got, pressIgnore ? 2 : 1);
    }
}
