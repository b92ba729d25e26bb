#pragma once
#include "base/debuglog.h"
#include "base/operator.h"
#include "base/settings.h"
#include "returns/context.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QSplitter;
class QStyleOptionViewItem;
class QTabWidget;
class QToolButton;
class QTreeWidget;
class QWidget;

namespace rek2 {

class TFwwDBGrid;
class Session;

// "Dnevno poročanje obrazca REK-2 v" followed directly by the version.
QString mainWindowCaption(const QString& version);

// The database name, user name and password of the command line.
struct LogonValues
{
    QString database;
    QString user;
    QString password;
};

// The main window. It owns every control of the four tabs, the installation
// settings and the debug log, and it is the Operator the domain code talks to.
//
// Each button's clicked signal is wired, through the general error handler
// `guarded`, to a handler method named after the control. The handlers of the
// tabs live in their own source files (tfrek_nabor.cpp, tfrek_xml.cpp,
// tfrek_import.cpp, tfrek_porocila.cpp, tfrek_pregled.cpp); this file and
// tfrek.cpp / tfrek_layout.cpp / tfrek_params.cpp hold the shell.
class TfRek : public QMainWindow, public Operator
{
    Q_OBJECT
public:
    // Creation (FormCreate): caption, dates, INI settings. No database work;
    // the log-on happens when the window is first shown.
    explicit TfRek(LogonValues logon = {}, QWidget* parent = nullptr);
    ~TfRek() override;

    // --- Operator: real dialogs -------------------------------------------
    void Napaka(const QString& message, const QString& button) override;
    int Opozorilo(const QString& message, const QString& okCaption, const QString& cancelCaption) override;
    bool AbortIgnore(const QString& message) override;
    void Information(const QString& message) override;
    bool Question(const QString& message, const QString& title = QString()) override;
    QString OpenFileName(const QString& caption, const QString& filter) override;
    void ShowMsgDlg(bool show, const QString& text) override;
    void ProcessEvents() override;
    void Progress(int value, int max) override;

    void DebugMessage(const QString& text) { log_.DebugMessage(text); }
    DebugLog& debugLog() { return log_; }

    // The general error handler every handler runs in: the window state is
    // copied into `ctx` first; an error hides the busy indicator and is shown
    // with its own message, unchanged. Returns false when `action` failed.
    bool guarded(const std::function<void()>& action);

    // Copies the pickers, the "za vse zbirne" box and the summary grid's
    // marked rows (their ID_REK2_ZBIR) into `ctx`.
    void syncContext();

    // The one database session; declared before `ctx` so it outlives the
    // datasets bound to it.
    std::unique_ptr<Session> OracleSession1;
    // The window state the domain operations work on: session, settings,
    // log, operator, pickers, the collection tab's datasets.
    RekContext ctx;

    Settings& settings() { return ctx.settings; }
    const LogonValues& logon() const { return logon_; }
    // Whether the INI file was found at creation.
    bool iniFound() const { return iniFound_; }

    // Computer name and upper-case user name, archived with each return.
    static QString WorkstationName();
    static QString LoginUserName();

    // --- lifecycle ----------------------------------------------------------
    void FormShow();  // log-on and database settings; run once, at first showing
    void FormClose(); // closing
    // After a successful log-on and the database settings (tfrek_nabor.cpp):
    // the place to open the collection tab's grids.
    void afterLogOn();
    // The handlers of the controls are virtual only so that a test can tell
    // which handler each control reaches.
    virtual void PageControl1Change(int index);
    virtual void dtpDatumOdChange();

    // --- tab 0 "Nabor" (tfrek_nabor.cpp, tfrek_xml.cpp, tfrek_import.cpp) ----
    virtual void SpeedButton2Click();
    virtual void bXMLClick();
    virtual void SpeedButton6Click();
    virtual void bNaborClick();
    virtual void bImportClick();
    virtual void SpeedButton3Click();
    virtual void SpeedButton4Click();
    virtual void SpeedButton5Click();
    virtual void dbgZbirniCellClick(int column);
    virtual void dbgZbirniDblClick();
    virtual void dbgZbirniExit();
    virtual void dbgZbirniDrawColumnCell(int row, int column, QStyleOptionViewItem& option);
    virtual void dbgNaborDblClick();
    virtual void dbgNaborDrawColumnCell(int row, int column, QStyleOptionViewItem& option);

    // --- tab 1 "Porocila" (tfrek_porocila.cpp) -------------------------------
    virtual void bRefreshNeposlanaClick();
    virtual void bRefreshPoslanaClick();
    virtual void bSendClick();
    virtual void tsPorocilaContextPopup(); // right click on the sheet: both lists, sent first

    // --- tab 2 "Pregled" (tfrek_pregled.cpp) ---------------------------------
    virtual void SpeedButton1Click();
    virtual void tvPregledClick();
    virtual void dbgPregledCellClick(int column);
    virtual void dbgPregledDblClick();
    virtual void dbgPregledDrawColumnCell(int row, int column, QStyleOptionViewItem& option);
    virtual void dbgPredgledADblClick();

    // --- tab 3 "Parametri" (tfrek_params.cpp; right panel tfrek_import.cpp) --
    void fillParams();              // each time the tab becomes active
    virtual void bShraniIniClick(); // left panel "Shrani"
    void fillXLSParams();           // right panel: reload the import mapping
    virtual void bShraniXLSParamsClick();

    // --- controls -------------------------------------------------------------
    QTabWidget* PageControl1 = nullptr;
    QWidget* tsNabor = nullptr;
    QWidget* tsPorocila = nullptr;
    QWidget* tsPregled = nullptr;
    QWidget* tsParams = nullptr;

    // tab 0
    QLabel* lDatumOd = nullptr;
    QLabel* lDatumDo = nullptr;
    QDateEdit* dtpDatumOd = nullptr;
    QDateEdit* dtpDatumDo = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QPushButton* bXML = nullptr;
    QCheckBox* cbXMLZaVseZbirne = nullptr;
    QToolButton* SpeedButton6 = nullptr;
    QPushButton* bNabor = nullptr;
    QPushButton* bImport = nullptr;
    QProgressBar* pbImportXLS = nullptr;
    QSplitter* splNabor = nullptr;
    TFwwDBGrid* dbgZbirni = nullptr;
    QToolButton* SpeedButton3 = nullptr;
    QToolButton* SpeedButton4 = nullptr;
    QToolButton* SpeedButton5 = nullptr;
    TFwwDBGrid* dbgNabor = nullptr;

    // tab 1
    QPushButton* bRefreshNeposlana = nullptr;
    QPushButton* bSend = nullptr;
    QPushButton* bRefreshPoslana = nullptr;
    QSplitter* splPorocila = nullptr;
    QListWidget* lbNeposlana = nullptr;
    QListWidget* lbPoslana = nullptr;

    // tab 2
    QLabel* lPregledOd = nullptr;
    QLabel* lPregledDo = nullptr;
    QDateEdit* dtpPregledOd = nullptr;
    QDateEdit* dtpPregledDo = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QSplitter* splPregled = nullptr;
    QTreeWidget* tvPregled = nullptr;
    QSplitter* splPregledGrids = nullptr;
    TFwwDBGrid* dbgPregled = nullptr;
    TFwwDBGrid* dbgPredgledA = nullptr;

    // tab 3, left panel
    QWidget* pParamsLeft = nullptr;
    QLineEdit* eIzp = nullptr;
    QLineEdit* eIzpNaslov = nullptr;
    QLineEdit* eIzpDVS = nullptr;
    QLineEdit* eOdgOsb = nullptr;
    QLabel* lOdgOsebaIni = nullptr;
    QLineEdit* eTelOdgOsb = nullptr;
    QLabel* lOdgOsebaTelIni = nullptr;
    QLineEdit* eVplPodRCN = nullptr;
    QLineEdit* eXMLPot = nullptr;
    QLabel* lXMLPotIni = nullptr;
    QLineEdit* eXMLArhivPot = nullptr;
    QLabel* lXMLArhivPotIni = nullptr;
    QLabel* lSfDogDvcOdt = nullptr;
    QLineEdit* eSfDogDvcOdt = nullptr;
    QLabel* lSfDogDvcOdtIni = nullptr;
    QPushButton* bShraniIni = nullptr;
    // tab 3, right panel: the import column mapping fills pXLSParams.
    QWidget* pXLSParams = nullptr;
    QPushButton* bShraniXLSParams = nullptr;

    // over all tabs: the busy indicator
    QLabel* Panel6 = nullptr;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void buildLayout();  // tfrek_layout.cpp
    void wireHandlers(); // tfrek_layout.cpp
    void FormCreate();
    void centrePanel6();
    // Called by the session while the engine works on a long statement.
    void keepPainted();

    LogonValues logon_;
    DebugLog log_;
    // Older name of ctx.settings, kept for handlers written against it.
    Settings& settings_ = ctx.settings;
    bool iniFound_ = false;
    bool shown_ = false;
    bool logFailureShown_ = false;
};

} // namespace rek2
