#include "ui/grid/tfwwdbgrid.h"
#include "ui/tfrek.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <array>

namespace rek2 {

namespace {

// The small glyphs of the tool buttons: a green plus, a red minus.
QIcon signGlyph(bool plus)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    const QColor c = plus ? QColor(0, 140, 0) : QColor(200, 0, 0);
    p.fillRect(2, 6, 12, 4, c);
    if (plus)
        p.fillRect(6, 2, 4, 12, c);
    return QIcon(pm);
}

QDateEdit* datePicker(QWidget* parent, const char* name)
{
    auto* d = new QDateEdit(parent);
    d->setObjectName(QLatin1String(name));
    d->setCalendarPopup(true);
    d->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    d->setMinimumWidth(110);
    return d;
}

template <typename W> W* named(W* w, const char* name)
{
    w->setObjectName(QLatin1String(name));
    return w;
}

QLabel* iniLabel(QWidget* parent, const char* name)
{
    auto* l = named(new QLabel(QStringLiteral("INI"), parent), name);
    l->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
    return l;
}

TFwwDBGrid* grid(QWidget* parent, const char* name, bool multiSelect)
{
    auto* g = named(new TFwwDBGrid(parent), name);
    g->setMultiSelect(multiSelect);
    return g;
}

// The top panel of the collection and review tabs: "Datum od", "Datum do"
// with their pickers and the "?" button.
struct DateBar
{
    QFrame* frame;
    QHBoxLayout* layout;
    QLabel* lOd;
    QLabel* lDo;
    QDateEdit* od;
    QDateEdit* dO;
    QToolButton* show;
};

DateBar dateBar(QWidget* tab, const char* frameName, const std::array<const char*, 5>& names)
{
    DateBar b{};
    b.frame = named(new QFrame(tab), frameName);
    b.frame->setFrameShape(QFrame::StyledPanel);
    b.layout = new QHBoxLayout(b.frame);
    b.layout->setContentsMargins(6, 4, 6, 4);
    auto* dates = new QGridLayout;
    b.lOd = named(new QLabel(QStringLiteral("Datum od"), b.frame), names[0]);
    b.lDo = named(new QLabel(QStringLiteral("Datum do"), b.frame), names[1]);
    b.od = datePicker(b.frame, names[2]);
    b.dO = datePicker(b.frame, names[3]);
    dates->addWidget(b.lOd, 0, 0);
    dates->addWidget(b.lDo, 0, 1);
    dates->addWidget(b.od, 1, 0);
    dates->addWidget(b.dO, 1, 1);
    b.layout->addLayout(dates);
    b.show = named(new QToolButton(b.frame), names[4]);
    b.show->setText(QStringLiteral("?"));
    b.show->setMinimumSize(28, 26);
    b.layout->addWidget(b.show, 0, Qt::AlignBottom);
    b.layout->addStretch(1);
    return b;
}

} // namespace

void TfRek::buildLayout()
{
    PageControl1 = named(new QTabWidget(this), "PageControl1");
    setCentralWidget(PageControl1);

    // ---- tab 0 "Nabor" ------------------------------------------------------
    tsNabor = named(new QWidget, "tsNabor");
    PageControl1->addTab(tsNabor, QStringLiteral("Nabor"));
    {
        auto* v = new QVBoxLayout(tsNabor);
        v->setContentsMargins(2, 2, 2, 2);
        v->setSpacing(2);

        DateBar bar0 = dateBar(tsNabor, "pNaborTop",
                               {"lDatumOd", "lDatumDo", "dtpDatumOd", "dtpDatumDo", "SpeedButton2"});
        QFrame* top = bar0.frame;
        QHBoxLayout* h = bar0.layout;
        lDatumOd = bar0.lOd;
        lDatumDo = bar0.lDo;
        dtpDatumOd = bar0.od;
        dtpDatumDo = bar0.dO;
        SpeedButton2 = bar0.show;

        auto* xml = new QVBoxLayout;
        bXML = named(new QPushButton(QStringLiteral("XML"), top), "bXML");
        cbXMLZaVseZbirne = named(new QCheckBox(QStringLiteral("za vse zbirne"), top), "cbXMLZaVseZbirne");
        xml->addWidget(bXML);
        xml->addWidget(cbXMLZaVseZbirne);
        h->addLayout(xml);
        SpeedButton6 = named(new QToolButton(top), "SpeedButton6");
        SpeedButton6->setIcon(signGlyph(false));
        SpeedButton6->setToolTip(QStringLiteral("Brisanje zbirne in analitike"));
        SpeedButton6->setEnabled(false);
        h->addWidget(SpeedButton6, 0, Qt::AlignTop);
        h->addSpacing(12);
        auto* nabor = new QVBoxLayout;
        bNabor = named(new QPushButton(QStringLiteral("Prenos iz DOG"), top), "bNabor");
        nabor->addWidget(bNabor);
        nabor->addStretch(1);
        h->addLayout(nabor);
        auto* imp = new QVBoxLayout;
        bImport = named(new QPushButton(QStringLiteral("Import iz XLS"), top), "bImport");
        pbImportXLS = named(new QProgressBar(top), "pbImportXLS");
        pbImportXLS->setMaximumHeight(14);
        pbImportXLS->setTextVisible(false);
        pbImportXLS->setVisible(false);
        imp->addWidget(bImport);
        imp->addWidget(pbImportXLS);
        imp->addStretch(1);
        h->addLayout(imp);
        v->addWidget(top);

        splNabor = named(new QSplitter(Qt::Vertical, tsNabor), "splNabor");
        dbgZbirni = grid(splNabor, "dbgZbirni", true);
        auto* lower = new QWidget(splNabor);
        auto* lv = new QVBoxLayout(lower);
        lv->setContentsMargins(0, 0, 0, 0);
        lv->setSpacing(1);
        auto* bar = new QHBoxLayout;
        SpeedButton3 = named(new QToolButton(lower), "SpeedButton3");
        SpeedButton3->setIcon(signGlyph(true));
        SpeedButton4 = named(new QToolButton(lower), "SpeedButton4");
        SpeedButton4->setIcon(signGlyph(false));
        SpeedButton5 = named(new QToolButton(lower), "SpeedButton5");
        SpeedButton5->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
        for (auto* b : {SpeedButton3, SpeedButton4, SpeedButton5}) {
            b->setAutoRaise(true);
            bar->addWidget(b);
        }
        bar->addStretch(1);
        lv->addLayout(bar);
        dbgNabor = grid(lower, "dbgNabor", true);
        lv->addWidget(dbgNabor);
        splNabor->addWidget(dbgZbirni);
        splNabor->addWidget(lower);
        splNabor->setStretchFactor(0, 1);
        splNabor->setStretchFactor(1, 1);
        v->addWidget(splNabor, 1);
    }

    // ---- tab 1 "Porocila" -----------------------------------------------------
    tsPorocila = named(new QWidget, "tsPorocila");
    PageControl1->addTab(tsPorocila, QStringLiteral("Porocila"));
    {
        auto* v = new QVBoxLayout(tsPorocila);
        v->setContentsMargins(2, 2, 2, 2);
        auto* h = new QHBoxLayout;
        bRefreshNeposlana = named(new QPushButton(QStringLiteral("Osveži"), tsPorocila), "bRefreshNeposlana");
        bSend = named(new QPushButton(QStringLiteral("Pošiljanje"), tsPorocila), "bSend");
        bRefreshPoslana = named(new QPushButton(QStringLiteral("Osveži"), tsPorocila), "bRefreshPoslana");
        h->addWidget(bRefreshNeposlana);
        h->addStretch(1);
        h->addWidget(bSend);
        h->addStretch(1);
        h->addWidget(bRefreshPoslana);
        v->addLayout(h);
        splPorocila = named(new QSplitter(Qt::Horizontal, tsPorocila), "splPorocila");
        lbNeposlana = named(new QListWidget(splPorocila), "lbNeposlana");
        lbPoslana = named(new QListWidget(splPorocila), "lbPoslana");
        splPorocila->addWidget(lbNeposlana);
        splPorocila->addWidget(lbPoslana);
        v->addWidget(splPorocila, 1);
    }

    // ---- tab 2 "Pregled" ------------------------------------------------------
    tsPregled = named(new QWidget, "tsPregled");
    PageControl1->addTab(tsPregled, QStringLiteral("Pregled"));
    {
        auto* v = new QVBoxLayout(tsPregled);
        v->setContentsMargins(2, 2, 2, 2);
        DateBar bar2 = dateBar(tsPregled, "pPregledTop",
                               {"lPregledOd", "lPregledDo", "dtpPregledOd", "dtpPregledDo", "SpeedButton1"});
        lPregledOd = bar2.lOd;
        lPregledDo = bar2.lDo;
        dtpPregledOd = bar2.od;
        dtpPregledDo = bar2.dO;
        SpeedButton1 = bar2.show;
        QFrame* top = bar2.frame;
        v->addWidget(top);

        splPregled = named(new QSplitter(Qt::Horizontal, tsPregled), "splPregled");
        tvPregled = named(new QTreeWidget(splPregled), "tvPregled");
        tvPregled->setHeaderHidden(true);
        splPregledGrids = named(new QSplitter(Qt::Vertical, splPregled), "splPregledGrids");
        dbgPregled = grid(splPregledGrids, "dbgPregled", false);
        dbgPredgledA = grid(splPregledGrids, "dbgPredgledA", true);
        splPregledGrids->addWidget(dbgPregled);
        splPregledGrids->addWidget(dbgPredgledA);
        splPregled->addWidget(tvPregled);
        splPregled->addWidget(splPregledGrids);
        splPregled->setStretchFactor(0, 1);
        splPregled->setStretchFactor(1, 3);
        v->addWidget(splPregled, 1);
    }

    // ---- tab 3 "Parametri" ----------------------------------------------------
    tsParams = named(new QWidget, "tsParams");
    PageControl1->addTab(tsParams, QStringLiteral("Parametri"));
    {
        auto* h = new QHBoxLayout(tsParams);
        h->setContentsMargins(2, 2, 2, 2);
        pParamsLeft = named(new QFrame(tsParams), "pParamsLeft");
        static_cast<QFrame*>(pParamsLeft)->setFrameShape(QFrame::StyledPanel);
        auto* g = new QGridLayout(pParamsLeft);
        int row = 0;
        auto addRow = [&](const QString& caption, const char* labelName, QLineEdit*& edit,
                          const char* editName, QLabel** ini, const char* iniName) -> QLabel* {
            auto* l = named(new QLabel(caption, pParamsLeft), labelName);
            edit = named(new QLineEdit(pParamsLeft), editName);
            g->addWidget(l, row, 0);
            g->addWidget(edit, row, 1);
            if (ini) {
                *ini = iniLabel(pParamsLeft, iniName);
                g->addWidget(*ini, row, 2);
            }
            ++row;
            return l;
        };
        addRow(QStringLiteral("Izplačevalec"), "lIzp", eIzp, "eIzp", nullptr, nullptr);
        addRow(QStringLiteral("Naslov"), "lIzpNaslov", eIzpNaslov, "eIzpNaslov", nullptr, nullptr);
        addRow(QStringLiteral("Davčna številka"), "lIzpDVS", eIzpDVS, "eIzpDVS", nullptr, nullptr);
        addRow(QStringLiteral("Odgovorna oseba"), "lOdgOsb", eOdgOsb, "eOdgOsb", &lOdgOsebaIni,
               "lOdgOsebaIni");
        addRow(QStringLiteral("Telefon odgovorne osebe"), "lTelOdgOsb", eTelOdgOsb, "eTelOdgOsb",
               &lOdgOsebaTelIni, "lOdgOsebaTelIni");
        addRow(QStringLiteral("Vplačilni podračun"), "lVplPodRCN", eVplPodRCN, "eVplPodRCN", nullptr,
               nullptr);
        addRow(QStringLiteral("XML pot"), "lXMLPot", eXMLPot, "eXMLPot", &lXMLPotIni, "lXMLPotIni");
        addRow(QStringLiteral("XML Arhiv pot"), "lXMLArhivPot", eXMLArhivPot, "eXMLArhivPot",
               &lXMLArhivPotIni, "lXMLArhivPotIni");
        lSfDogDvcOdt = addRow(QStringLiteral("Šifre dog. za davčni odtegljaj"), "lSfDogDvcOdt", eSfDogDvcOdt,
                              "eSfDogDvcOdt", &lSfDogDvcOdtIni, "lSfDogDvcOdtIni");
        lOdgOsebaIni->setVisible(false);
        lOdgOsebaTelIni->setVisible(false);
        for (QWidget* w : {static_cast<QWidget*>(lSfDogDvcOdt), static_cast<QWidget*>(eSfDogDvcOdt),
                           static_cast<QWidget*>(lSfDogDvcOdtIni)})
            w->setVisible(false);
        bShraniIni = named(new QPushButton(QStringLiteral("Shrani"), pParamsLeft), "bShraniIni");
        g->addWidget(bShraniIni, row++, 1, Qt::AlignLeft);
        g->setRowStretch(row, 1);
        g->setColumnStretch(1, 1);
        h->addWidget(pParamsLeft, 3);

        auto* right = named(new QFrame(tsParams), "pParamsRight");
        right->setFrameShape(QFrame::StyledPanel);
        auto* rv = new QVBoxLayout(right);
        pXLSParams = named(new QWidget(right), "pXLSParams");
        rv->addWidget(pXLSParams, 1);
        bShraniXLSParams = named(new QPushButton(QStringLiteral("Shrani"), right), "bShraniXLSParams");
        rv->addWidget(bShraniXLSParams, 0, Qt::AlignLeft);
        h->addWidget(right, 2);
    }

    // ---- the busy indicator over all tabs --------------------------------------
    Panel6 = named(new QLabel(QStringLiteral("REK2 poročanje"), this), "Panel6");
    Panel6->setAlignment(Qt::AlignCenter);
    Panel6->setFrameShape(QFrame::Panel);
    Panel6->setFrameShadow(QFrame::Raised);
    Panel6->setLineWidth(2);
    Panel6->setAutoFillBackground(true);
    Panel6->setFixedSize(185, 41);
    Panel6->setVisible(false);
    // The grids take their bold 8-point text from the grid settings.
}

void TfRek::wireHandlers()
{
    // Every handler goes through the general error handler.
    auto click = [this](auto* button, void (TfRek::*handler)()) {
        connect(button, &std::remove_pointer_t<decltype(button)>::clicked, this,
                [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
    };
    click(SpeedButton2, &TfRek::SpeedButton2Click);
    click(bXML, &TfRek::bXMLClick);
    click(SpeedButton6, &TfRek::SpeedButton6Click);
    click(bNabor, &TfRek::bNaborClick);
    click(bImport, &TfRek::bImportClick);
    click(SpeedButton3, &TfRek::SpeedButton3Click);
    click(SpeedButton4, &TfRek::SpeedButton4Click);
    click(SpeedButton5, &TfRek::SpeedButton5Click);
    click(bRefreshNeposlana, &TfRek::bRefreshNeposlanaClick);
    click(bRefreshPoslana, &TfRek::bRefreshPoslanaClick);
    click(bSend, &TfRek::bSendClick);
    // A right click on the report files sheet refreshes both lists.
    tsPorocila->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(tsPorocila, &QWidget::customContextMenuRequested, this,
            [this] { guarded([this] { tsPorocilaContextPopup(); }); });
    click(SpeedButton1, &TfRek::SpeedButton1Click);
    click(bShraniIni, &TfRek::bShraniIniClick);
    click(bShraniXLSParams, &TfRek::bShraniXLSParamsClick);

    connect(PageControl1, &QTabWidget::currentChanged, this,
            [this](int index) { guarded([this, index] { PageControl1Change(index); }); });
    connect(dtpDatumOd, &QDateEdit::dateChanged, this, [this] { guarded([this] { dtpDatumOdChange(); }); });
    connect(tvPregled, &QTreeWidget::itemClicked, this, [this] { guarded([this] { tvPregledClick(); }); });

    dbgZbirni->OnCellClick = [this](int c) { guarded([this, c] { dbgZbirniCellClick(c); }); };
    dbgZbirni->OnDblClick = [this] { guarded([this] { dbgZbirniDblClick(); }); };
    dbgZbirni->OnExit = [this] { guarded([this] { dbgZbirniExit(); }); };
    dbgZbirni->OnDrawColumnCell = [this](int r, int c, QStyleOptionViewItem& o) {
        dbgZbirniDrawColumnCell(r, c, o);
    };
    dbgNabor->OnDblClick = [this] { guarded([this] { dbgNaborDblClick(); }); };
    dbgNabor->OnDrawColumnCell = [this](int r, int c, QStyleOptionViewItem& o) {
        dbgNaborDrawColumnCell(r, c, o);
    };
    dbgPregled->OnCellClick = [this](int c) { guarded([this, c] { dbgPregledCellClick(c); }); };
    dbgPregled->OnDblClick = [this] { guarded([this] { dbgPregledDblClick(); }); };
    dbgPregled->OnDrawColumnCell = [this](int r, int c, QStyleOptionViewItem& o) {
        dbgPregledDrawColumnCell(r, c, o);
    };
    dbgPredgledA->OnDblClick = [this] { guarded([this] { dbgPredgledADblClick(); }); };
    // Every grid of the window has a zoom handler that does nothing.
    for (TFwwDBGrid* g : {dbgZbirni, dbgNabor, dbgPregled, dbgPredgledA})
        g->OnZoom = [] {};
}

} // namespace rek2
