#include "ui/grid/tfdatasetprint.h"

#include "db/dataset.h"
#include "db/error.h"
#include "gridexport/print_table.h"
#include "gridexport/progress.h"
#include "ui/grid/datasetmodel.h"
#include "ui/grid/grid_buttons.h"
#include "ui/grid/tfprogress.h"
#include "ui/grid/tfwwdbgrid.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace rek2 {

namespace {

constexpr GridButtonSet kResultButtons = gridButtonBit(gbLocate) | gridButtonBit(gbPrint) |
                                         gridButtonBit(gbGraph) | gridButtonBit(gbTitleWordWrap) |
                                         gridButtonBit(gbCopyToClip);

} // namespace

TfDataSetPrint& TfDataSetPrint::instance()
{
    static TfDataSetPrint* window = new TfDataSetPrint;
    return *window;
}

TfDataSetPrint::TfDataSetPrint(QWidget* parent)
    : TDialog(parent), local_(std::make_unique<DataSet>(QStringLiteral("tLocal"))),
      sorted_(std::make_unique<DataSet>(QStringLiteral("qSort"))),
      grouped_(std::make_unique<DataSet>(QStringLiteral("qGroup")))
{
    setObjectName(QStringLiteral("fDataSetPrint"));
    setWindowTitle(QStringLiteral("Tiskanje"));
    setModal(false);
    pages = new QTabWidget(this);

    auto* settings = new QWidget;
    mTitle = new QPlainTextEdit(settings);
    mTitle->setObjectName(QStringLiteral("mTitle"));
    mTitle->setFixedHeight(48);
    dbgLocal = new TFwwDBGrid(settings);
    dbgLocal->setObjectName(QStringLiteral("dbgLocal"));
    dbgLocal->gridButtons = 0;
    dbgLocal->setDataSet(local_.get());
    lbGroup = new QListWidget(settings);
    lbGroup->setObjectName(QStringLiteral("lbGroup"));
    lbSum = new QListWidget(settings);
    lbSum->setObjectName(QStringLiteral("lbSum"));
    cbShowOperator = new QCheckBox(QStringLiteral("Pokaži sumarni operator"), settings);
    cbShowOperator->setObjectName(QStringLiteral("cbShowOperator"));
    cbShowOperator->setChecked(true);
    eTotalLabel = new QLineEdit(settings);
    eTotalLabel->setObjectName(QStringLiteral("eTotalLabel"));
    bSortiranje = new QPushButton(QStringLiteral("Sortiranje"), settings);
    bSortiranje->setObjectName(QStringLiteral("bSortiranje"));
    bGrupiranje = new QPushButton(QStringLiteral("Grupiranje"), settings);
    bGrupiranje->setObjectName(QStringLiteral("bGrupiranje"));

    auto* lists = new QGridLayout;
    lists->addWidget(new QLabel(QStringLiteral("Sortiranje / grupiranje po :"), settings), 0, 0);
    lists->addWidget(new QLabel(QStringLiteral("Sumarna polja pri grupiranju :"), settings), 0, 1);
    lists->addWidget(lbGroup, 1, 0);
    lists->addWidget(lbSum, 1, 1);
    lists->addWidget(cbShowOperator, 2, 1);
    auto* labelRow = new QHBoxLayout;
    labelRow->addWidget(new QLabel(QStringLiteral("Oznaka za skupaj :"), settings));
    labelRow->addWidget(eTotalLabel, 1);
    labelRow->addSpacing(20);
    labelRow->addWidget(bSortiranje);
    labelRow->addWidget(bGrupiranje);
    auto* settingsLayout = new QVBoxLayout(settings);
    settingsLayout->addWidget(mTitle);
    settingsLayout->addWidget(dbgLocal, 3);
    settingsLayout->addLayout(lists, 2);
    settingsLayout->addLayout(labelRow);
    pages->addTab(settings, QStringLiteral("Nastavitve"));

    const auto resultPage = [this](TFwwDBGrid*& grid, DataSet* ds, const char* name, const QString& caption) {
        auto* page = new QWidget;
        grid = new TFwwDBGrid(page);
        grid->setObjectName(QString::fromLatin1(name));
        grid->gridButtons = kResultButtons;
        grid->setDataSet(ds);
        auto* layout = new QVBoxLayout(page);
        layout->setContentsMargins(2, 2, 2, 2);
        layout->addWidget(grid);
        pages->addTab(page, caption);
    };
    resultPage(dbgSort, sorted_.get(), "dbgSort", QStringLiteral("Sortiranje"));
    resultPage(dbgGroup, grouped_.get(), "dbgGroup", QStringLiteral("Grupiranje"));
    // Group columns stand out in the caption colours.
    for (TFwwDBGrid* grid : {dbgSort, dbgGroup})
        grid->OnDrawColumnCell = [this, grid](int, int column, QStyleOptionViewItem& option) {
            if (column < groupColumns_) {
                option.backgroundBrush = grid->palette().brush(QPalette::Active, QPalette::Highlight);
                option.palette.setColor(QPalette::Text,
                                        grid->palette().color(QPalette::Active, QPalette::HighlightedText));
            }
        };

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages);
    resize(900, 640);

    connect(dbgLocal->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &TfDataSetPrint::localTitleClick);
    connect(lbGroup, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* i) { groupListClick(lbGroup->row(i)); });
    connect(lbSum, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* i) { sumListClick(lbSum->row(i)); });
    connect(cbShowOperator, &QCheckBox::toggled, this, &TfDataSetPrint::showLists);
    connect(eTotalLabel, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (table_)
            table_->totalLabel = text;
    });
    connect(mTitle, &QPlainTextEdit::textChanged, this, &TfDataSetPrint::titleChanged);
    connect(bSortiranje, &QPushButton::clicked, this, &TfDataSetPrint::sortiranjeClick);
    connect(bGrupiranje, &QPushButton::clicked, this, &TfDataSetPrint::grupiranjeClick);
    showMessage = [this](const QString& text) { QMessageBox::warning(this, windowTitle(), text); };
    finishForm();
}

TfDataSetPrint::~TfDataSetPrint()
{
    discard();
}

void TfDataSetPrint::discard()
{
    // The results and the local table go; their datasets are closed first.
    groupColumns_ = 0;
    sorted_->Close();
    grouped_->Close();
    local_->Close();
    table_.reset();
}

void TfDataSetPrint::open(const DataSet& source, const QVector<GridColumn>& columns, const QString& title)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    discard();
    try {
        table_ = std::make_unique<PrintTable>(source, columns);
        table_->openLocal(*local_);
    } catch (const DbError& e) {
        QApplication::restoreOverrideCursor();
        table_.reset();
        showMessage(QString::fromStdString(e.what()));
        return;
    }
    mTitle->setPlainText(title);
    eTotalLabel->setText(table_->totalLabel);
    showLists();
    pages->setCurrentIndex(0);
    QApplication::restoreOverrideCursor();
    show();
    raise();
    activateWindow();
}

void TfDataSetPrint::hideEvent(QHideEvent* e)
{
    TDialog::hideEvent(e);
    // Minimising the program is no closing of the window.
    if (!e->spontaneous())
        discard();
}

void TfDataSetPrint::titleChanged()
{
    const QString caption = mTitle->toPlainText();
    dbgSort->labelText = caption;
    dbgGroup->labelText = caption;
}

void TfDataSetPrint::showLists()
{
    lbGroup->clear();
    lbSum->clear();
    if (!table_)
        return;
    const auto& columns = table_->columns();
    for (const PrintTable::GroupField& g : table_->groups) {
        const QString label = columns[g.column].def.displayLabel;
        lbGroup->addItem(g.marked ? label : QStringLiteral("××") + label);
    }
    for (const PrintTable::SumField& s : table_->sums) {
        const QString label = columns[s.column].def.displayLabel;
        lbSum->addItem(cbShowOperator->isChecked() ? operatorName(s.op) + QLatin1Char(' ') + label : label);
    }
}

void TfDataSetPrint::localTitleClick(int column)
{
    if (!table_)
        return;
    const int field = dbgLocal->dataModel()->fieldOfColumn(column);
    table_->setGroupsUpTo(field);
    showLists();
}

void TfDataSetPrint::groupListClick(int row)
{
    if (!table_ || row < 0 || row >= table_->groups.size())
        return;
    table_->groups[row].marked = !table_->groups[row].marked;
    showLists();
}

void TfDataSetPrint::sumListClick(int row)
{
    if (!table_ || row < 0 || row >= table_->sums.size())
        return;
    table_->sums[row].op = nextOperator(table_->sums[row].op);
    showLists();
}

bool TfDataSetPrint::copyRows()
{
    if (!table_)
        return false;
    if (table_->rowsCopied())
        return true;
    try {
        table_->copyRows(&TfProgress::instance());
        local_->Refresh();
    } catch (const OperationCancelled&) {
        return false;
    }
    return true;
}

void TfDataSetPrint::sortiranjeClick()
{
    if (!copyRows())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        groupColumns_ = int(table_->groups.size());
        table_->openSorted(*sorted_);
    } catch (const DbError& e) {
        QApplication::restoreOverrideCursor();
        showMessage(QString::fromStdString(e.what()));
        return;
    }
    QApplication::restoreOverrideCursor();
    pages->setCurrentIndex(1);
}

void TfDataSetPrint::grupiranjeClick()
{
    if (!copyRows())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        groupColumns_ = int(table_->groups.size());
        table_->openGrouped(*grouped_);
    } catch (const DbError& e) {
        QApplication::restoreOverrideCursor();
        showMessage(QString::fromStdString(e.what()));
        return;
    }
    QApplication::restoreOverrideCursor();
    pages->setCurrentIndex(2);
}

} // namespace rek2
