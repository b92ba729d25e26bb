#include "ui/grid/tsortselect.h"

#include "db/dataset.h"
#include "gridexport/columns.h"
#include "ui/translate/form_translation.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace rek2 {

namespace {

constexpr int kFieldRole = Qt::UserRole;

QListWidgetItem* makeItem(int field, const QString& label)
{
    auto* item = new QListWidgetItem(label);
    item->setData(kFieldRole, field);
    return item;
}

QVector<TsortSelect::Item> itemsOf(const QListWidget* list)
{
    QVector<TsortSelect::Item> out;
    for (int i = 0; i < list->count(); ++i)
        out.push_back({list->item(i)->data(kFieldRole).toInt(), list->item(i)->text()});
    return out;
}

} // namespace

TsortSelect& TsortSelect::instance()
{
    static TsortSelect* dialog = new TsortSelect;
    return *dialog;
}

TsortSelect::TsortSelect(QWidget* parent) : TDialog(parent)
{
    setObjectName(QStringLiteral("sortSelect"));
    setWindowTitle(QStringLiteral("Izbira stolpcev"));
    lbShown = new QListWidget(this);
    lbShown->setObjectName(QStringLiteral("lbShown"));
    lbHidden = new QListWidget(this);
    lbHidden->setObjectName(QStringLiteral("lbHidden"));
    const auto button = [this](const QString& text, const char* name, const QString& hint) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(hint);
        b->setFixedWidth(36);
        return b;
    };
    bRight = button(QStringLiteral(">"), "bRight", QStringLiteral("Skrij izbrani stolpec"));
    bAllRight = button(QStringLiteral(">>"), "bAllRight", QStringLiteral("Skrij vse stolpce"));
    bLeft = button(QStringLiteral("<"), "bLeft", QStringLiteral("Prikaži izbrani stolpec"));
    bAllLeft = button(QStringLiteral("<<"), "bAllLeft", QStringLiteral("Prikaži vse stolpce"));
    bUp = button(QStringLiteral("↑"), "bUp", QStringLiteral("Premakni gor"));
    bDown = button(QStringLiteral("↓"), "bDown", QStringLiteral("Premakni dol"));
    eWidth = new QLineEdit(this);
    eWidth->setObjectName(QStringLiteral("eWidth"));
    eWidth->setMaxLength(3);
    eWidth->setValidator(new QIntValidator(0, 999, eWidth));
    eWidth->setFixedWidth(50);
    eLabel = new QLineEdit(this);
    eLabel->setObjectName(QStringLiteral("eLabel"));
    bApply = new QPushButton(QStringLiteral("Uporabi"), this);
    bApply->setObjectName(QStringLiteral("bApply"));
    bOK = new QPushButton(QStringLiteral("OK"), this);
    bOK->setObjectName(QStringLiteral("bOK"));
    bCancel = new QPushButton(QStringLiteral("Cancel"), this);
    bCancel->setObjectName(QStringLiteral("bCancel"));

    auto* grid = new QGridLayout;
    grid->addWidget(namedLabel(QStringLiteral("Prikazani stolpci:"), "lShown", this), 0, 0);
    grid->addWidget(namedLabel(QStringLiteral("Skriti stolpci:"), "lHidden", this), 0, 2);
    grid->addWidget(lbShown, 1, 0);
    auto* middle = new QVBoxLayout;
    middle->addStretch();
    for (QPushButton* b : {bRight, bAllRight, bLeft, bAllLeft})
        middle->addWidget(b);
    middle->addSpacing(12);
    middle->addWidget(bUp);
    middle->addWidget(bDown);
    middle->addStretch();
    grid->addLayout(middle, 1, 1);
    grid->addWidget(lbHidden, 1, 2);
    auto* edit = new QHBoxLayout;
    edit->addWidget(namedLabel(QStringLiteral("Širina:"), "lWidth", this));
    edit->addWidget(eWidth);
    edit->addWidget(namedLabel(QStringLiteral("Naziv:"), "lLabel", this));
    edit->addWidget(eLabel, 1);
    edit->addWidget(bApply);
    grid->addLayout(edit, 2, 0, 1, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(bOK);
    buttons->addWidget(bCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    resize(560, 420);

    connect(bRight, &QPushButton::clicked, this, &TsortSelect::moveRight);
    connect(bAllRight, &QPushButton::clicked, this, &TsortSelect::moveAllRight);
    connect(bLeft, &QPushButton::clicked, this, &TsortSelect::moveLeft);
    connect(bAllLeft, &QPushButton::clicked, this, &TsortSelect::moveAllLeft);
    // Up and down repeat while held: at once, after 500 ms, then every 100 ms.
    connect(bUp, &QPushButton::pressed, this, [this] { startRepeat(&TsortSelect::moveUp); });
    connect(bDown, &QPushButton::pressed, this, [this] { startRepeat(&TsortSelect::moveDown); });
    for (QPushButton* b : {bUp, bDown})
        connect(b, &QPushButton::released, this, [this] {
            repeat_.stop();
            repeating_ = nullptr;
        });
    connect(&repeat_, &QTimer::timeout, this, [this] {
        repeat_.setInterval(100);
        if (repeating_)
            (this->*repeating_)();
    });
    connect(lbShown, &QListWidget::itemDoubleClicked, this, &TsortSelect::moveRight);
    connect(lbHidden, &QListWidget::itemDoubleClicked, this, &TsortSelect::moveLeft);
    connect(lbShown, &QListWidget::currentRowChanged, this, &TsortSelect::showSelected);
    connect(bApply, &QPushButton::clicked, this, &TsortSelect::applyWidthAndLabel);
    connect(bOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(bCancel, &QPushButton::clicked, this, &QDialog::reject);
    finishForm();
}

void TsortSelect::startRepeat(void (TsortSelect::*move)())
{
    repeating_ = move;
    (this->*move)();
    repeat_.setInterval(500);
    repeat_.start();
}

void TsortSelect::prepare(DataSet* ds, const QVector<Item>& shown, const QVector<Item>& hidden)
{
    ds_ = ds;
    lbShown->clear();
    lbHidden->clear();
    for (const Item& i : shown)
        lbShown->addItem(makeItem(i.field, i.label));
    for (const Item& i : hidden)
        lbHidden->addItem(makeItem(i.field, i.label));
    sortHidden();
    if (lbShown->count() > 0)
        lbShown->setCurrentRow(0);
    showSelected();
    updateButtons();
}

bool TsortSelect::execute(DataSet* ds, const QVector<Item>& shown, const QVector<Item>& hidden)
{
    prepare(ds, shown, hidden);
    return exec() == QDialog::Accepted;
}

QVector<TsortSelect::Item> TsortSelect::shownItems() const
{
    return itemsOf(lbShown);
}

QVector<TsortSelect::Item> TsortSelect::hiddenItems() const
{
    return itemsOf(lbHidden);
}

void TsortSelect::sortHidden()
{
    lbHidden->sortItems();
}

void TsortSelect::updateButtons()
{
    const bool left = lbShown->count() > 0;
    const bool right = lbHidden->count() > 0;
    bUp->setEnabled(left);
    bDown->setEnabled(left);
    bRight->setEnabled(left);
    bAllRight->setEnabled(left);
    bLeft->setEnabled(right);
    bAllLeft->setEnabled(right);
}

void TsortSelect::moveRight()
{
    const int row = lbShown->currentRow();
    if (row < 0)
        return;
    lbHidden->addItem(lbShown->takeItem(row));
    sortHidden();
    lbShown->setCurrentRow(std::min(row, lbShown->count() - 1));
    updateButtons();
}

void TsortSelect::moveAllRight()
{
    while (lbShown->count() > 0)
        lbHidden->addItem(lbShown->takeItem(0));
    sortHidden();
    updateButtons();
}

void TsortSelect::moveLeft()
{
    const int row = lbHidden->currentRow() >= 0 ? lbHidden->currentRow() : (lbHidden->count() > 0 ? 0 : -1);
    if (row < 0)
        return;
    lbShown->addItem(lbHidden->takeItem(row));
    lbShown->setCurrentRow(lbShown->count() - 1);
    updateButtons();
}

void TsortSelect::moveAllLeft()
{
    while (lbHidden->count() > 0)
        lbShown->addItem(lbHidden->takeItem(0));
    updateButtons();
}

void TsortSelect::moveUp()
{
    const int row = lbShown->currentRow();
    if (row <= 0)
        return;
    lbShown->insertItem(row - 1, lbShown->takeItem(row));
    lbShown->setCurrentRow(row - 1);
}

void TsortSelect::moveDown()
{
    const int row = lbShown->currentRow();
    if (row < 0 || row + 1 >= lbShown->count())
        return;
    lbShown->insertItem(row + 1, lbShown->takeItem(row));
    lbShown->setCurrentRow(row + 1);
}

void TsortSelect::showSelected()
{
    QListWidgetItem* item = lbShown->currentItem();
    if (!item || !ds_ || !ds_->Active()) {
        eWidth->clear();
        eLabel->clear();
        return;
    }
    const TField* f = ds_->Fields(item->data(kFieldRole).toInt());
    eWidth->setText(QString::number(displayWidthOf(f->def())));
    eLabel->setText(f->DisplayLabel());
}

void TsortSelect::applyWidthAndLabel()
{
    QListWidgetItem* item = lbShown->currentItem();
    if (!item || !ds_ || !ds_->Active())
        return;
    TField* f = ds_->Fields(item->data(kFieldRole).toInt());
    if (!eWidth->text().isEmpty())
        f->def().displayWidth = std::clamp(eWidth->text().toInt(), 1, 999);
    if (!eLabel->text().trimmed().isEmpty()) {
        f->def().displayLabel = eLabel->text();
        item->setText(eLabel->text());
    }
}

} // namespace rek2
