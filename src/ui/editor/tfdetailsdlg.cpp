#include "ui/editor/tfdetailsdlg.h"

#include "base/operator.h"
#include "db/dataset.h"
#include "db/error.h"
#include "db/query.h"
#include "db/session.h"
#include "edit/row_checks.h"
#include "edit/row_source.h"
#include "edit/typed_values.h"
#include "ui/grid/tfwwdbgrid.h"

#include <QEvent>
#include <QFocusEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace rek2 {
namespace {

const QString kVRedu = QStringLiteral("V redu");

// Design size of the dialog before scaling.
constexpr int kDesignWidth = 620;
constexpr int kDesignHeight = 511;

bool isEditing(const DataSet* ds)
{
    return ds && (ds->State() == DataSetState::Edit || ds->State() == DataSetState::Insert);
}

// Leaving a control for another control of the dialog, not for a message box
// or another window.
bool leftForAnotherControl(QEvent* e)
{
    if (e->type() != QEvent::FocusOut)
        return false;
    const auto reason = static_cast<QFocusEvent*>(e)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

} // namespace

TfDetailsDlg::TfDetailsDlg(Operator& op, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      odsLookup(std::make_unique<DataSet>(QStringLiteral("odsLookup"))),
      qSEQ(std::make_unique<Query>(QStringLiteral("qSEQ"))),
      odsEDP(std::make_unique<DataSet>(QStringLiteral("odsEDP"))), op_(op)
{
    setObjectName(QStringLiteral("fDetailsDlg"));
    setWindowTitle(QStringLiteral("fDetailsDlg"));
    onError = [this](const QString& message) { op_.Napaka(message, kVRedu); };

    pMain = new QFrame(this);
    pMain->setObjectName(QStringLiteral("pMain"));

    BitBtn2 = new QPushButton(QStringLiteral("V redu"), pMain);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setDefault(true);
    BitBtn1 = new QPushButton(QStringLiteral("Prekliči"), pMain);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    bStorno = new QPushButton(QStringLiteral("Storno"), pMain);
    bStorno->setObjectName(QStringLiteral("bStorno"));
    bStorno->hide();
    bPopravek = new QPushButton(QStringLiteral("Popravek"), pMain);
    bPopravek->setObjectName(QStringLiteral("bPopravek"));
    bPopravek->hide();
    for (QPushButton* b : {BitBtn1, bStorno, bPopravek})
        b->setAutoDefault(false);
    applyScale(scaleFor({}));

    connect(BitBtn2, &QPushButton::clicked, this, [this] { runGuarded([this] { BitBtn2Click(); }); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { runGuarded([this] { BitBtn1Click(); }); });
    connect(bStorno, &QPushButton::clicked, this, [this] { runGuarded([this] { bStornoClick(); }); });
    connect(bPopravek, &QPushButton::clicked, this, [this] { runGuarded([this] { bPopravekClick(); }); });

    odsEDP->DeclareVariable(QStringLiteral("DURS_ID_DOK"), VarType::String);
    odsEDP->DeclareVariable(QStringLiteral("ID_REK2_ZBIR"), VarType::Integer);
    // The persons table's columns the lookup shows.
    const std::pair<const char*, const char*> lookupColumns[] = {{"IME", "Ime"},
                                                                 {"NZV", "Naziv"},
                                                                 {"DVS", "Davčna številka"},
                                                                 {"MTS", "Matična številka"},
                                                                 {"NSL", "Naslov"}};
    const int widths[] = {40, 80, 10, 15, 40};
    int i = 0;
    for (const auto& [name, label] : lookupColumns) {
        FieldDef def;
        def.name = QLatin1String(name);
        def.size = widths[i++];
        def.displayLabel = QString::fromUtf8(label);
        odsLookup->AddField(def);
    }
    buildLookupPanel();
}

TfDetailsDlg::~TfDetailsDlg()
{
    if (DBGrid1)
        DBGrid1->setDataSet(nullptr);
    if (ds_)
        ds_->removeObserver(this);
}

double TfDetailsDlg::scaleFor(const QStringList& captions) const
{
    // Fonts wider than the design's scale the whole layout, so that every
    // caption of the record and an editor's height still fit.
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics fm(bold);
    int widest = fm.horizontalAdvance(QStringLiteral("Dav. odt. po splošni stop"));
    for (const QString& c : captions)
        widest = std::max(widest, fm.horizontalAdvance(c));
    return std::max({1.0, widest / 155.0, (fm.height() + 8) / 21.0});
}

void TfDetailsDlg::applyScale(double scale)
{
    scale_ = scale;
    setFixedSize(qRound(kDesignWidth * scale_), qRound(kDesignHeight * scale_));
    pMain->setGeometry(rect());
    layoutButtons(kDesignHeight - 45);
}

void TfDetailsDlg::layoutButtons(int top)
{
    auto s = [this](int v) { return qRound(v * scale_); };
    BitBtn2->setGeometry(s(120), s(top), s(90), s(27));
    BitBtn1->setGeometry(s(220), s(top), s(90), s(27));
    bStorno->setGeometry(s(320), s(top), s(90), s(27));
    bPopravek->setGeometry(s(420), s(top), s(90), s(27));
}

void TfDetailsDlg::buildLookupPanel()
{
    pOsb = new QFrame(this);
    pOsb->setObjectName(QStringLiteral("pOsb"));
    pOsb->setFrameShape(QFrame::Panel);
    pOsb->setAutoFillBackground(true);
    auto* outer = new QVBoxLayout(pOsb);

    pFiltri = new QFrame(pOsb);
    pFiltri->setObjectName(QStringLiteral("pFiltri"));
    auto* filters = new QHBoxLayout(pFiltri);
    Label1 = new QLabel(QStringLiteral("Naziv"), pFiltri);
    eOSB = new QLineEdit(pFiltri);
    eOSB->setObjectName(QStringLiteral("eOSB"));
    sbNZVClear = new QToolButton(pFiltri);
    sbNZVClear->setText(QStringLiteral("X"));
    Label2 = new QLabel(QStringLiteral("Davčna številka"), pFiltri);
    eDVS = new QLineEdit(pFiltri);
    eDVS->setObjectName(QStringLiteral("eDVS"));
    sbDVSClear = new QToolButton(pFiltri);
    sbDVSClear->setText(QStringLiteral("X"));
    SpeedButton1 = new QToolButton(pFiltri);
    SpeedButton1->setText(QStringLiteral("Išči"));
    SpeedButton2 = new QToolButton(pFiltri);
    SpeedButton2->setText(QStringLiteral("Zapri"));
    for (QWidget* w : std::initializer_list<QWidget*>{Label1, eOSB, sbNZVClear, Label2, eDVS, sbDVSClear,
                                                      SpeedButton1, SpeedButton2})
        filters->addWidget(w);
    outer->addWidget(pFiltri);

    pGrid = new QFrame(pOsb);
    pGrid->setObjectName(QStringLiteral("pGrid"));
    auto* gridLayout = new QVBoxLayout(pGrid);
    gridLayout->setContentsMargins(0, 0, 0, 0);
    DBGrid1 = new TFwwDBGrid(pGrid);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setDataSet(odsLookup.get());
    DBGrid1->OnDblClick = [this] { runGuarded([this] { DBGrid1DblClick(); }); };
    gridLayout->addWidget(DBGrid1);
    outer->addWidget(pGrid, 1);
    pOsb->hide();

    eOSB->installEventFilter(this);
    eDVS->installEventFilter(this);
    connect(SpeedButton1, &QToolButton::clicked, this,
            [this] { runGuarded([this] { SpeedButton1Click(); }); });
    connect(SpeedButton2, &QToolButton::clicked, this, [this] { SpeedButton2Click(); });
    connect(sbNZVClear, &QToolButton::clicked, this, [this] { sbNZVClearClick(); });
    connect(sbDVSClear, &QToolButton::clicked, this, [this] { sbDVSClearClick(); });
}

void TfDetailsDlg::runGuarded(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const DbError& e) {
        onError(e.message());
    } catch (const std::exception& e) {
        onError(QString::fromUtf8(e.what()));
    }
}

Session& TfDetailsDlg::session() const
{
    if (!ds_ || !ds_->GetSession())
        throw DbError(QStringLiteral("Ni povezave z bazo podatkov!"));
    return *ds_->GetSession();
}

void TfDetailsDlg::Napaka(const QString& message, const QString& button)
{
    op_.Napaka(message, button);
}

QLineEdit* TfDetailsDlg::editorFor(const QString& fieldName) const
{
    if (!ds_)
        return nullptr;
    const int i = ds_->FieldIndex(fieldName);
    return i >= 0 && i < kMaxFields ? editors_.at(size_t(i)) : nullptr;
}

// ---------------------------------------------------------------- Pripravi

void TfDetailsDlg::Pripravi(DataSet* dataSet, const QString& editable, const QDateTime& date, int coupon,
                            const QString& security, bool cancellationAllowed, const QString& lookup)
{
    lookupTable_.clear();
    if (ds_)
        ds_->removeObserver(this);
    ds_ = dataSet;

    const TField* payer = ds_->FindField(QStringLiteral("IZPLAC_DVS"));
    payerDvs_ = payer ? payer->AsString() : QString();

    if (!lookup.isEmpty())
        lookups_[0].table = lookup.left(3);
    lookups_[0].fields = parseLookup(lookup).fields;
    editable_ = editable;
    editableList_ = splitFieldList(editable);

    odsLookup->SetSession(ds_->GetSession());
    qSEQ->SetSession(ds_->GetSession());
    odsEDP->SetSession(ds_->GetSession());
    ds_->addObserver(this);
    // Bound to a record already being inserted: that is a change of state too.
    dsZbirniStateChange();

    buildEditors();
    showDialogButtons(cancellationAllowed);

    const TField* durs = ds_->FindField(QStringLiteral("DURS_ID_DOK"));
    dursAtOpening_ = durs ? durs->AsString() : QString();

    if (ds_->State() == DataSetState::Insert) {
        initNewRecord(date, coupon, security);
        refreshEditors();
    }
}

void TfDetailsDlg::clearGenerated()
{
    for (size_t i = 0; i < size_t(kMaxFields); ++i) {
        delete editors_[i];
        delete captions_[i];
        delete lookupButtons_[i];
        editors_[i] = nullptr;
        captions_[i] = nullptr;
        lookupButtons_[i] = nullptr;
        dirty_[i] = false;
    }
    durEditor_ = nullptr;
    inDurEditor_ = false;
}

void TfDetailsDlg::buildEditors()
{
    clearGenerated();
    QStringList captions;
    for (int r = 0; r < std::min(ds_->FieldCount(), int(kMaxFields)); ++r)
        captions << captionOf(ds_->Fields(r)->DisplayLabel());
    applyScale(scaleFor(captions));
    QFont bold = font();
    bold.setBold(true);
    const int count = std::min(ds_->FieldCount(), int(kMaxFields));
    for (int r = 0; r < count; ++r) {
        const TField* f = ds_->Fields(r);
        const QString& name = f->FieldName();
        if (name.compare(QLatin1String("ROWID"), Qt::CaseInsensitive) == 0)
            continue;
        const DetailsGeometry g = detailsGeometry(r, scale_);
        if (!isHiddenField(name)) {
            auto* e = new QLineEdit(pMain);
            e->setObjectName(QStringLiteral("e") + name);
            QRect box = g.editor;
            // An editor with a lookup button ends where the button begins.
            if (lookups_[0].fields.contains(name))
                box.setRight(g.lookupButton.left() - 2);
            e->setGeometry(box);
            e->setFont(bold);
            e->setStyleSheet(QStringLiteral("QLineEdit { background: white; color: black; }"));
            e->setReadOnly(!mayEditField(name, editable_));
            if (name == QLatin1String("DURS_ID_DOK")) {
                e->setText(f->AsString());
                e->installEventFilter(this);
                durEditor_ = e;
            } else {
                e->setText(editorText(f->AsVariant(), f->DataType()));
                connect(e, &QLineEdit::textEdited, this,
                        [this, r] { runGuarded([this, r] { onEditorEdited(r); }); });
            }
            e->setCursorPosition(0);
            e->show();
            editors_[size_t(r)] = e;
        }
        if (lookups_[0].fields.contains(name)) {
            auto* b = new QPushButton(lookups_[0].table, pMain);
            b->setGeometry(g.lookupButton);
            b->setAutoDefault(false);
            const QString table = lookups_[0].table;
            connect(b, &QPushButton::clicked, this, [this, table] { ButtonOnClick(table); });
            b->show();
            lookupButtons_[size_t(r)] = b;
        }
        if (!isHiddenField(name)) {
            auto* l = new QLabel(captionOf(f->DisplayLabel()), pMain);
            l->setGeometry(g.caption);
            l->setFont(bold);
            l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            l->show();
            captions_[size_t(r)] = l;
        }
    }
}

void TfDetailsDlg::showDialogButtons(bool cancellationAllowed)
{
    const TField* type = ds_->FindField(QStringLiteral("CORRECTIONTYPE"));
    const bool storno =
        stornoVisible(cancellationAllowed, type != nullptr, type ? type->AsString() : QString());
    const TField* paid = ds_->FindField(QStringLiteral("DATUM_PLC_DVK"));
    const bool popravek = popravekVisible(storno, paid != nullptr, paid ? paid->AsDate() : QDate(),
                                          QDateTime::currentDateTime(), editable_, cancellationAllowed);
    bStorno->setVisible(storno);
    bPopravek->setVisible(popravek);
}

void TfDetailsDlg::initNewRecord(const QDateTime& date, int coupon, const QString& security)
{
    ds_->FieldByName(QStringLiteral("ID_REK2_ANAL"))->SetAsInteger(GetNewIDAnal());
    ds_->FieldByName(QStringLiteral("ID_REK2_ZBIR"))->SetAsInteger(0);
    ds_->FieldByName(QStringLiteral("Status"))->SetAsString(QStringLiteral("O"));
    ds_->FieldByName(QStringLiteral("SFVP"))->SetAsString(security);
    ds_->FieldByName(QStringLiteral("SfKpn"))->SetAsInteger(coupon);
    if (date.isValid()) {
        ds_->FieldByName(QStringLiteral("DATUM_IZP_DIV"))->SetAsDate(date.date());
        ds_->FieldByName(QStringLiteral("DATUM_PLC_DVK"))->SetAsDate(date.date());
    }
}

int TfDetailsDlg::GetNewIDAnal()
{
    qSEQ->SetSession(&session());
    qSEQ->Close();
    qSEQ->SQL = QStringList{QStringLiteral("select ID_REK2_ANAL_SEQ.NEXTVAL AS NewId from dual")};
    qSEQ->Execute();
    const int id = qSEQ->FieldAsInteger(QStringLiteral("NewId"));
    qSEQ->Close();
    return id;
}

// ------------------------------------------------------------ transactions

void TfDetailsDlg::stateChanged(DataSet&)
{
    runGuarded([this] { dsZbirniStateChange(); });
}

void TfDetailsDlg::dataSetDestroyed(DataSet& ds)
{
    if (&ds != ds_)
        return;
    // A change being made here is lost with the record; the transaction it
    // opened must not keep the database's write lock.
    try {
        if (isEditing(ds_) && ds_->GetSession() && ds_->GetSession()->InTransaction())
            ds_->GetSession()->Rollback();
    } catch (...) {
        // Called from the dataset's destructor: nothing may escape.
    }
    ds_ = nullptr;
    for (QLineEdit* e : editors_)
        if (e)
            e->setReadOnly(true);
}

void TfDetailsDlg::dsZbirniStateChange()
{
    if (isEditing(ds_) && ds_->GetSession() && !ds_->GetSession()->InTransaction())
        ds_->GetSession()->StartTransaction();
}

// ------------------------------------------------------------ typed values

void TfDetailsDlg::onEditorEdited(int position)
{
    if (refreshing_ || !ds_)
        return;
    dirty_[size_t(position)] = true;
    if (ds_->State() == DataSetState::Browse)
        ds_->Edit();
}

bool TfDetailsDlg::storeTypedValues()
{
    for (int r = 0; r < kMaxFields; ++r) {
        if (!dirty_[size_t(r)] || !editors_[size_t(r)])
            continue;
        if (!isEditing(ds_))
            ds_->Edit();
        TField* f = ds_->Fields(r);
        const QString text = editors_[size_t(r)]->text();
        const std::optional<QVariant> v = typedValue(text, f->DataType());
        if (!v) {
            Napaka(badValueMessage(text, f->DisplayLabel()), kVRedu);
            editors_[size_t(r)]->setFocus();
            return false;
        }
        f->SetAsVariant(*v);
        dirty_[size_t(r)] = false;
    }
    return true;
}

void TfDetailsDlg::refreshEditors()
{
    refreshing_ = true;
    for (int r = 0; r < kMaxFields && r < ds_->FieldCount(); ++r) {
        QLineEdit* e = editors_[size_t(r)];
        if (!e || dirty_[size_t(r)] || e == durEditor_)
            continue;
        const TField* f = ds_->Fields(r);
        e->setText(editorText(f->AsVariant(), f->DataType()));
        e->setCursorPosition(0);
    }
    refreshing_ = false;
}

// ---------------------------------------------------------------- OK, Cancel

void TfDetailsDlg::BitBtn2Click()
{
    setResult(mrOk);
    if (!ds_)
        return done(mrOk);
    // Enter while the document number has the focus: store it as leaving
    // the editor would, and stay open when it is refused.
    if (inDurEditor_) {
        inDurEditor_ = false;
        if (!storeDocumentNumber()) {
            setResult(mrNone);
            return;
        }
    }
    if (!storeTypedValues()) {
        setResult(mrNone);
        return;
    }
    if (!isEditing(ds_))
        return done(mrOk);

    TField* ime = ds_->FindField(QStringLiteral("IME"));
    TField* priimek = ds_->FindField(QStringLiteral("PRIIMEK"));
    if (ime && priimek) {
        // A name built from two empty parts would wipe the name of a
        // recipient imported as one word.
        const QString name = fullName(ime->AsString(), priimek->AsString());
        if (!name.isEmpty())
            ds_->FieldByName(QStringLiteral("NAZIV"))->SetAsString(name);
    }

    if (ds_->State() == DataSetState::Insert) {
        const QString findings = editorFindings(analyticRowOf(*ds_));
        if (!findings.isEmpty()) {
            Napaka(findings, kVRedu);
            session().Rollback();
            setResult(mrNone);
            return;
        }
    }

    try {
        ds_->Post();
        if (session().InTransaction())
            session().Commit();
    } catch (...) {
        // The record stays in the dialog as it was typed; nothing is closed
        // as if it had been saved.
        setResult(mrNone);
        if (ds_->GetSession() && ds_->GetSession()->InTransaction())
            ds_->GetSession()->Rollback();
        throw;
    }
    dursAtOpening_.clear();
    done(mrOk);
}

void TfDetailsDlg::BitBtn1Click()
{
    setResult(mrCancel);
    if (!ds_)
        return done(mrCancel);
    QString error;
    try {
        TField* durs = ds_->FindField(QStringLiteral("DURS_ID_DOK"));
        if (dursAtOpening_.isEmpty() && durs && !durs->AsString().isEmpty()) {
            // The number was stored (and committed) on leaving its editor.
            if (isEditing(ds_))
                ds_->Cancel();
            ds_->Edit();
            durs->SetAsString(QString());
            ds_->Post();
            dursAtOpening_.clear();
        }
    } catch (const DbError& e) {
        error = e.message();
    } catch (const std::exception& e) {
        error = QString::fromUtf8(e.what());
    }
    // A cancelled change must not stay in the record's buffer, where the
    // next post of the caller's dataset would save it.
    if (isEditing(ds_))
        ds_->Cancel();
    if (ds_->GetSession())
        ds_->GetSession()->Rollback();
    done(mrCancel);
    if (!error.isEmpty())
        onError(error);
}

void TfDetailsDlg::bStornoClick()
{
    done(mrStorno);
}

void TfDetailsDlg::bPopravekClick()
{
    done(mrPopravek);
}

void TfDetailsDlg::reject()
{
    runGuarded([this] { BitBtn1Click(); });
}

void TfDetailsDlg::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void TfDetailsDlg::FormClose()
{
    pOsb->hide();
    if (ds_)
        ds_->removeObserver(this);
    ds_ = nullptr;
}

// ---------------------------------------------------------- document number

bool TfDetailsDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == durEditor_ && durEditor_) {
        if (event->type() == QEvent::FocusIn)
            runGuarded([this] { DBEditOnEnter(); });
        else if (leftForAnotherControl(event))
            runGuarded([this] { DBEditOnExit(); });
    } else if (watched == eOSB || watched == eDVS) {
        if (leftForAnotherControl(event) && pOsb->isVisible()) {
            runGuarded([this] { SpeedButton1Click(); });
        } else if (event->type() == QEvent::KeyPress) {
            // Enter in a filter searches; it must not press OK of the dialog.
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                runGuarded([this] { SpeedButton1Click(); });
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfDetailsDlg::DBEditOnEnter()
{
    // A read-only number is never filled in or stored.
    if (!durEditor_ || durEditor_->isReadOnly())
        return;
    inDurEditor_ = true;
    if (durEditor_->text().isEmpty())
        durEditor_->setText(edpPrefix(payerDvs_));
}

void TfDetailsDlg::DBEditOnExit()
{
    if (!inDurEditor_)
        return;
    inDurEditor_ = false;
    storeDocumentNumber();
}

bool TfDetailsDlg::storeDocumentNumber()
{
    if (!durEditor_ || durEditor_->isReadOnly() || !ds_)
        return true;
    const QString number = durEditor_->text();
    // The prefix the editor filled in by itself is no number yet.
    if (number.isEmpty() || number == edpPrefix(payerDvs_))
        return true;
    switch (PreveriEDP(number)) {
    case 1:
        Napaka(edpFormatMessage(number), kVRedu);
        return false;
    case 2:
        Napaka(edpUsedMessage(number), kVRedu);
        return false;
    default:
        break;
    }
    if (!isEditing(ds_))
        ds_->Edit();
    ds_->FieldByName(QStringLiteral("DURS_ID_DOK"))->SetAsString(number);
    ds_->Post();
    return true;
}

int TfDetailsDlg::PreveriEDP(const QString& number)
{
    if (!hasEdpPrefix(number, payerDvs_))
        return 1;
    const TField* id = ds_ ? ds_->FindField(QStringLiteral("ID_REK2_ZBIR")) : nullptr;
    odsEDP->SetSession(&session());
    odsEDP->Close();
    odsEDP->SQL = QStringList{QStringLiteral("select * from REK2_ZBIR_HST"),
                              QStringLiteral("WHERE DURS_ID_DOK=:DURS_ID_DOK"),
                              QStringLiteral("AND ID_REK2_ZBIR<>:ID_REK2_ZBIR")};
    odsEDP->SetVariable(QStringLiteral("DURS_ID_DOK"), number);
    odsEDP->SetVariable(QStringLiteral("ID_REK2_ZBIR"), id ? id->AsInteger() : 0);
    odsEDP->Open();
    const bool used = !odsEDP->IsEmpty();
    odsEDP->Close();
    return used ? 2 : 0;
}

// ------------------------------------------------------------------- lookup

void TfDetailsDlg::ButtonOnClick(const QString& table)
{
    pOsb->setGeometry(0, 0, width() - 2, height() - 2);
    pOsb->show();
    pOsb->raise();
    op_.ProcessEvents();
    eOSB->setFocus();
    lookupTable_ = table;
}

void TfDetailsDlg::SpeedButton1Click()
{
    if (lookupTable_.isEmpty())
        return;
    odsLookup->Close();
    odsLookup->DeleteVariables();
    // Typed filters are bound, never pasted into the text: a quote cannot
    // change the statement. The name is compared upper-cased, Slovenian
    // letters included (the database's upper does the same).
    QStringList sql{QStringLiteral("SELECT * FROM ") + lookupTable_};
    const QString name = eOSB->text();
    const QString dvs = eDVS->text();
    if (!name.isEmpty()) {
        sql << QStringLiteral("WHERE upper(NZV) like :name || '%' ");
        odsLookup->DeclareAndSet(QStringLiteral("name"), VarType::String, name.toUpper());
    }
    if (!dvs.isEmpty()) {
        sql << (name.isEmpty() ? QStringLiteral("WHERE DVS = :dvs ") : QStringLiteral("AND DVS = :dvs "));
        odsLookup->DeclareAndSet(QStringLiteral("dvs"), VarType::String, dvs);
    }
    odsLookup->SQL = sql;
    odsLookup->Open();
}

void TfDetailsDlg::SpeedButton2Click()
{
    pOsb->hide();
}

void TfDetailsDlg::sbNZVClearClick()
{
    eOSB->clear();
}

void TfDetailsDlg::sbDVSClearClick()
{
    eDVS->clear();
}

void TfDetailsDlg::DBGrid1DblClick()
{
    if (!ds_ || !odsLookup->Active() || odsLookup->IsEmpty())
        return;
    auto found = [this](const char* name) { return odsLookup->FieldByName(QLatin1String(name))->AsString(); };
    for (const QString& name : lookups_[0].fields) {
        if (!isEditing(ds_))
            ds_->Edit();
        QString value;
        if (name == QLatin1String("NAZIV"))
            value = fullName(found("IME"), found("NZV")); // a company has no first name: no leading blank
        else if (name == QLatin1String("IME"))
            value = found("IME");
        else if (name == QLatin1String("PRIIMEK"))
            value = found("NZV");
        else if (name == QLatin1String("NASLOV"))
            value = found("NSL");
        else if (name == QLatin1String("POOB_DVS"))
            value = found("DVS");
        else
            continue;
        ds_->FieldByName(name)->SetAsString(value);
        const int r = ds_->FieldIndex(name);
        if (r >= 0 && r < kMaxFields)
            dirty_[size_t(r)] = false;
    }
    refreshEditors();

    const TField* naziv = ds_->FindField(QStringLiteral("NAZIV"));
    const TField* naslov = ds_->FindField(QStringLiteral("NASLOV"));
    const TField* poobDvs = ds_->FindField(QStringLiteral("POOB_DVS"));
    auto isNull = [](const TField* f) { return !f || f->IsNull(); };
    auto isEmpty = [](const TField* f) { return !f || f->AsString().isEmpty(); };
    if (!(isNull(naziv) && isNull(naslov) && isNull(poobDvs)) &&
        (isEmpty(naziv) || isEmpty(naslov) || isEmpty(poobDvs)))
        Napaka(QStringLiteral("Pomanjkljivi podatki o pooblaščencu!!"), kVRedu);
    pOsb->hide();
}

} // namespace rek2
