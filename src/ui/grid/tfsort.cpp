#include "ui/grid/tfsort.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace rek2 {

TfSort& TfSort::instance()
{
    static TfSort* dialog = new TfSort;
    return *dialog;
}

TfSort::TfSort(QWidget* parent) : TDialog(parent)
{
    setObjectName(QStringLiteral("fSort"));
    setWindowTitle(QStringLiteral("Sort"));
    lbSort = new QListWidget(this);
    lbSort->setObjectName(QStringLiteral("lbSort"));
    bOK = new QPushButton(QStringLiteral("OK"), this);
    bOK->setObjectName(QStringLiteral("bOK"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lbSort);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(bOK);
    layout->addLayout(buttons);
    resize(320, 300);
    connect(lbSort, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        if (chosen_)
            chosen_(lbSort->row(item));
    });
    connect(bOK, &QPushButton::clicked, this, &QDialog::accept);
    finishForm();
}

void TfSort::prepare(const QVector<TSortInfoItem>& items, int current, std::function<void(int)> chosen)
{
    chosen_ = std::move(chosen);
    lbSort->clear();
    for (const TSortInfoItem& i : items)
        lbSort->addItem(i.DisplayText);
    lbSort->setCurrentRow(current);
}

void TfSort::execute(const QVector<TSortInfoItem>& items, int current, std::function<void(int)> chosen)
{
    prepare(items, current, std::move(chosen));
    exec();
}

} // namespace rek2
