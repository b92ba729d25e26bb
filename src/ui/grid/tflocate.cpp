#include "ui/grid/tflocate.h"

#include "db/dataset.h"
#include "gridexport/locate.h"
#include "ui/translate/form_translation.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace rek2 {

TfLocate& TfLocate::instance()
{
    static TfLocate* dialog = new TfLocate;
    return *dialog;
}

TfLocate::TfLocate(QWidget* parent) : TDialog(parent)
{
    setObjectName(QStringLiteral("fLocate"));
    setWindowTitle(QStringLiteral("Iskanje"));
    cbField = new QComboBox(this);
    cbField->setObjectName(QStringLiteral("cbField"));
    cbField->setMinimumWidth(240);
    eValue = new QLineEdit(this);
    eValue->setObjectName(QStringLiteral("eValue"));
    cbExact = new QCheckBox(QStringLiteral("Išči točno vrednost"), this);
    cbExact->setObjectName(QStringLiteral("cbExact"));
    bFirst = new QPushButton(QStringLiteral("1"), this);
    bFirst->setObjectName(QStringLiteral("bFirst"));
    bFirst->setToolTip(QStringLiteral("Išči od začetka"));
    bNext = new QPushButton(QStringLiteral("..."), this);
    bNext->setObjectName(QStringLiteral("bNext"));
    bNext->setToolTip(QStringLiteral("Išči naprej"));
    for (QPushButton* b : {bFirst, bNext})
        b->setFixedWidth(36);
    bOK = new QPushButton(QStringLiteral("OK"), this);
    bOK->setObjectName(QStringLiteral("bOK"));
    bCancel = new QPushButton(QStringLiteral("Cancel"), this);
    bCancel->setObjectName(QStringLiteral("bCancel"));

    auto* form = new QFormLayout;
    form->addRow(namedLabel(QStringLiteral("Polje:"), "lField", this), cbField);
    auto* valueRow = new QHBoxLayout;
    valueRow->addWidget(eValue, 1);
    valueRow->addWidget(bFirst);
    valueRow->addWidget(bNext);
    form->addRow(namedLabel(QStringLiteral("Vrednost:"), "lValue", this), valueRow);
    form->addRow(QString(), cbExact);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(bOK);
    buttons->addWidget(bCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(cbField, &QComboBox::currentIndexChanged, this, [this] { fieldChosen(); });
    connect(eValue, &QLineEdit::textEdited, this, [this] {
        bFirst->setEnabled(true);
        bNext->setEnabled(true);
    });
    connect(bFirst, &QPushButton::clicked, this, [this] { findFirst(); });
    connect(bNext, &QPushButton::clicked, this, [this] { findNext(); });
    connect(bOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(bCancel, &QPushButton::clicked, this, &QDialog::reject);
    showMessage = [this](const QString& text) { QMessageBox::information(this, windowTitle(), text); };
    finishForm();
}

void TfLocate::prepare(DataSet* ds)
{
    if (ds == ds_ && cbField->count() > 0)
        return;
    ds_ = ds;
    // Every field, shown or not, by its caption.
    const QSignalBlocker block(cbField);
    cbField->clear();
    fields_.clear();
    if (ds && ds->Active())
        for (int i = 0; i < ds->FieldCount(); ++i) {
            cbField->addItem(ds->Fields(i)->DisplayLabel());
            fields_.push_back(i);
        }
    cbField->setCurrentIndex(-1);
    eValue->clear();
    eValue->setVisible(false);
    cbExact->setEnabled(false);
    bFirst->setEnabled(false);
    bNext->setEnabled(false);
}

bool TfLocate::execute(DataSet* ds)
{
    prepare(ds);
    return exec() == QDialog::Accepted;
}

void TfLocate::fieldChosen()
{
    const bool chosen = cbField->currentIndex() >= 0;
    eValue->setVisible(chosen);
    cbExact->setEnabled(chosen);
    if (chosen)
        eValue->setFocus();
}

bool TfLocate::findFirst()
{
    return search(0);
}

bool TfLocate::findNext()
{
    return search(ds_ ? ds_->CurrentRow() + 1 : 0);
}

bool TfLocate::search(int startRow)
{
    const int index = cbField->currentIndex();
    if (!ds_ || !ds_->Active() || index < 0 || index >= fields_.size())
        return false;
    const QString value = eValue->text();
    const bool exact = cbExact->isChecked();
    setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int row = findRow(*ds_, fields_[index], value, exact, startRow);
    // Without a match the search has walked to the last row.
    if (row >= 0)
        ds_->SetRecNo(row + 1);
    else if (ds_->RecordCount() > 0)
        ds_->Last();
    QApplication::restoreOverrideCursor();
    setEnabled(true);
    if (row < 0 && showMessage)
        showMessage(notFoundMessage(value, exact));
    return row >= 0;
}

} // namespace rek2
