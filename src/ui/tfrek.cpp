#include "ui/tfrek.h"
#include "base/paths.h"
#include "base/settings_ini.h"
#include "base/version.h"
#include "base/workstation.h"
#include "db/connect.h"
#include "db/session.h"
#include "returns/settings_db.h"
#include "ui/dialogs.h"
#include "ui/grid/tfwwdbgrid.h"
#include "xmlreturn/return_journal.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateEdit>
#include <QDateTime>
#include <QFileDialog>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <cstdio>
#include <stdexcept>

namespace rek2 {

QString mainWindowCaption(const QString& version)
{
    return QStringLiteral("Dnevno poročanje obrazca REK-2 v") + version;
}

TfRek::TfRek(LogonValues logon, QWidget* parent)
    : QMainWindow(parent), OracleSession1(std::make_unique<Session>()), logon_(std::move(logon))
{
    setObjectName(QStringLiteral("fRek"));
    resize(774, 639);
    ctx.log = &log_;
    ctx.op = this;
    ctx.attachSession(OracleSession1.get());
    OracleSession1->setPulse([this] { keepPainted(); });
    buildLayout();
    dbgZbirni->setDataSet(&ctx.odsREK2_Zbir);
    dbgNabor->setDataSet(&ctx.odsNabor);
    dbgPregled->setDataSet(&ctx.odsPregled);
    dbgPredgledA->setDataSet(&ctx.odsPregledA);
    FormCreate();
    wireHandlers();
}

TfRek::~TfRek()
{
    OracleSession1->setPulse({});
    // The grids outlive the datasets they show (children go last): unbind first.
    for (TFwwDBGrid* g : {dbgZbirni, dbgNabor, dbgPregled, dbgPredgledA})
        g->setDataSet(nullptr);
    ctx.log = nullptr; // the log goes before the context
}

void TfRek::FormCreate()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect avail = screen->availableGeometry();
        move(avail.x() + (avail.width() - width()) / 2, avail.y() + (avail.height() - height()) / 2);
    }
    ctx.FKopiranje = false;
    setWindowTitle(mainWindowCaption(fileVersion()));
    PageControl1->setCurrentIndex(0);

    const QDateTime now = QDateTime::currentDateTime();
    dtpDatumOd->setDate(now.addDays(-1).date());
    dtpDatumDo->setDate(now.addDays(-1).date());
    dtpPregledOd->setDate(now.addDays(-31).date());
    dtpPregledDo->setDate(now.date());

    // A log that cannot be written is reported once, never raised into the
    // action that was logging.
    log_.setFile(logFilePath());
    log_.setFailureReporter([this](const QString& message) {
        statusBar()->showMessage(message);
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    });

    iniFound_ = readIniSettings(iniFilePath(), installationFolder(), ctx.settings);
    if (!iniFound_)
        Information(QStringLiteral("Manjka .ini datoteka!"));
    log_.setDebug(ctx.settings.Debug);
    DebugMessage(QStringLiteral("Start programa v") + fileVersion());
}

// ---- Operator ------------------------------------------------------------------

void TfRek::Napaka(const QString& message, const QString& button)
{
    showDialog(this, {DialogKind::Warning, QStringLiteral("Opozorilo!"), message, {button}});
}

int TfRek::Opozorilo(const QString& message, const QString& okCaption, const QString& cancelCaption)
{
    return showDialog(
        this, {DialogKind::Warning, QStringLiteral("Opozorilo!"), message, {okCaption, cancelCaption}});
}

bool TfRek::AbortIgnore(const QString& message)
{
    return showDialog(this, {DialogKind::AbortIgnore, QStringLiteral("Opozorilo!"), message, {}}) == 2;
}

void TfRek::Information(const QString& message)
{
    showDialog(this,
               {DialogKind::Information, QStringLiteral("REK2 poročanje"), message, {QStringLiteral("OK")}});
}

bool TfRek::Question(const QString& message, const QString& title)
{
    const QString t = title.isEmpty() ? QStringLiteral("Potrditev") : title;
    return showDialog(this,
                      {DialogKind::Question, t, message, {QStringLiteral("Da"), QStringLiteral("Ne")}}) == 1;
}

QString TfRek::OpenFileName(const QString& caption, const QString& filter)
{
    // The installation folder is where operators keep the sheets they import.
    return QFileDialog::getOpenFileName(this, caption, installationFolder(), filter);
}

void TfRek::centrePanel6()
{
    Panel6->move((width() - Panel6->width()) / 2, (height() - Panel6->height()) / 2);
}

void TfRek::ShowMsgDlg(bool show, const QString& text)
{
    centrePanel6();
    Panel6->setText(show ? text : QString());
    Panel6->setVisible(show);
    Panel6->raise();
    PageControl1->setEnabled(!show);
    if (show)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    repaint();
    if (show)
        DebugMessage(text + QStringLiteral(" začetak!"));
}

namespace {

// While the engine is in the middle of a statement, or an action lets the
// window's events run, no window closes: the request is refused (the
// operator closes the window once the work is done).
class CloseRefusal : public QObject
{
public:
    bool eventFilter(QObject* /*watched*/, QEvent* e) override
    {
        if (e->type() != QEvent::Close)
            return false;
        e->ignore();
        return true;
    }
};

void processEventsRefusingClose(QEventLoop::ProcessEventsFlags flags)
{
    CloseRefusal refusal;
    qApp->installEventFilter(&refusal);
    QCoreApplication::processEvents(flags);
    qApp->removeEventFilter(&refusal);
}

} // namespace

// The windows repaint and answer the desktop (which would otherwise call the
// program "not responding" during a large collection); the operator's input
// waits until the statement is done (no handler starts meanwhile), and the
// session refuses any statement asked of it in between.
void TfRek::keepPainted()
{
    processEventsRefusingClose(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers);
}

void TfRek::ProcessEvents()
{
    // Called at the fixed points of a long action: the operator's input
    // runs, but no window closes under the action.
    processEventsRefusingClose(QEventLoop::AllEvents);
}

void TfRek::Progress(int value, int max)
{
    pbImportXLS->setVisible(max > 0);
    if (max > 0) {
        pbImportXLS->setRange(0, max);
        pbImportXLS->setValue(value);
    }
}

QString TfRek::WorkstationName()
{
    return rek2::WorkstationName();
}

QString TfRek::LoginUserName()
{
    return rek2::LoginUserName();
}

void TfRek::syncContext()
{
    ctx.datumOd = dtpDatumOd->date();
    ctx.datumDo = dtpDatumDo->date();
    ctx.pregledOd = dtpPregledOd->date();
    ctx.pregledDo = dtpPregledDo->date();
    ctx.xmlZaVseZbirne = cbXMLZaVseZbirne->isChecked();
    ctx.selectedZbirIds.clear();
    DataSet& z = ctx.odsREK2_Zbir;
    const int idField = z.Active() ? z.FieldIndex(QStringLiteral("ID_REK2_ZBIR")) : -1;
    if (idField >= 0) {
        for (int row : dbgZbirni->selectedRows())
            if (row < z.RecordCount())
                ctx.selectedZbirIds << z.Value(row, idField).toInt();
    }
}

bool TfRek::guarded(const std::function<void()>& action)
{
    QString message;
    try {
        syncContext();
        action();
        return true;
    } catch (const std::exception& e) {
        message = QString::fromUtf8(e.what());
    } catch (...) {
        message = QStringLiteral("Nepričakovana napaka.");
    }
    ShowMsgDlg(false, QString());
    showDialog(this, {DialogKind::Error, QStringLiteral("Napaka"), message, {QStringLiteral("OK")}});
    return false;
}

// ---- lifecycle -------------------------------------------------------------------

void TfRek::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    if (!shown_) {
        shown_ = true;
        guarded([this] { FormShow(); });
    }
}

void TfRek::closeEvent(QCloseEvent* e)
{
    guarded([this] { FormClose(); });
    QMainWindow::closeEvent(e);
}

void TfRek::resizeEvent(QResizeEvent* e)
{
    QMainWindow::resizeEvent(e);
    if (Panel6)
        centrePanel6();
}

void TfRek::PageControl1Change(int index)
{
    if (index == 1) {
        bRefreshPoslanaClick();
        bRefreshNeposlanaClick();
    } else if (index == 3) {
        fillParams();
    }
}

void TfRek::dtpDatumOdChange()
{
    dtpDatumDo->setDate(dtpDatumOd->date());
    SpeedButton2->setEnabled(true);
}

void TfRek::FormShow()
{
    Session& session = *OracleSession1;
    session.LogonDatabase = logon_.database;
    session.LogonUsername = logon_.user;
    session.LogonPassword = logon_.password;
    const ConnectOutcome outcome =
        connectSession(session, AliasStore(installationFolder() + QStringLiteral("aliases.ini")),
                       ctx.settings.ServerName, *this);
    if (outcome.closeWindow) {
        // The procedure has ended; the window goes once its event returns.
        QTimer::singleShot(0, this, &QWidget::close);
        return;
    }
    if (!outcome.connected) {
        // Nothing from the database is loaded; the server's message is shown.
        if (!outcome.error.isEmpty())
            throw std::runtime_error(outcome.error.toStdString());
        return;
    }
    for (const QString& message : loadDatabaseSettings(session, ctx.settings))
        Information(message);
    // What a crash of an earlier XML run left is finished first.
    for (const QString& line : journal::finishInterruptedReturns(session, ctx.settings.XMLPath))
        ctx.DebugMessage(QStringLiteral("TfRek.FormShow: ") + line);
    afterLogOn();
}

void TfRek::FormClose()
{
    if (ctx.odsKupon.Active())
        ctx.odsKupon.Close();
}

} // namespace rek2
