#include "ui/grid/tgraf.h"

#include "db/dataset.h"
#include "ui/translate/form_translation.h"

#include <QAbstractBarSeries>
#include <QAction>
#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QToolBar>
#include <QVBoxLayout>
#include <QValueAxis>
#include <cmath>

namespace rek2 {

namespace {

constexpr int kFieldRole = Qt::UserRole;

bool xKind(FieldType t)
{
    return t == FieldType::String || t == FieldType::Integer || t == FieldType::Date;
}

void fill(QListWidget* list, const DataSet& ds, bool numbers)
{
    for (int i = 0; i < ds.FieldCount(); ++i) {
        const TField* f = ds.Fields(i);
        if (!f->Visible())
            continue;
        if (numbers ? f->DataType() != FieldType::Float : !xKind(f->DataType()))
            continue;
        auto* item = new QListWidgetItem(f->DisplayLabel(), list);
        item->setData(kFieldRole, i);
    }
}

QVector<int> chosen(const QListWidget* list)
{
    QVector<int> out;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->isSelected())
            out.push_back(list->item(i)->data(kFieldRole).toInt());
    return out;
}

} // namespace

TfGraphView::TfGraphView(const DataSet& ds, int xField, const QVector<int>& yFields, int groupField,
                         QWidget* parent)
    : TDialog(parent), ds_(ds)
{
    setObjectName(QStringLiteral("fGraphView"));
    setWindowTitle(QStringLiteral("Graf"));
    lbX = new QListWidget(this);
    lbX->setObjectName(QStringLiteral("lbX"));
    lbY = new QListWidget(this);
    lbY->setObjectName(QStringLiteral("lbY"));
    lbY->setSelectionMode(QAbstractItemView::MultiSelection);
    lbGroup = new QListWidget(this);
    lbGroup->setObjectName(QStringLiteral("lbGroup"));
    bClearGroup = new QPushButton(QStringLiteral("Brez grupiranja"), this);
    bClearGroup->setObjectName(QStringLiteral("bClearGroup"));
    bOK = new QPushButton(QStringLiteral("OK"), this);
    bOK->setObjectName(QStringLiteral("bOK"));
    bCancel = new QPushButton(QStringLiteral("Cancel"), this);
    bCancel->setObjectName(QStringLiteral("bCancel"));
    fill(lbX, ds, false);
    fill(lbY, ds, true);
    fill(lbGroup, ds, false);
    select(lbX, xField);
    for (int y : yFields)
        select(lbY, y);
    select(lbGroup, groupField);

    auto* grid = new QGridLayout;
    grid->addWidget(namedLabel(QStringLiteral("x - os "), "lX", this), 0, 0);
    grid->addWidget(namedLabel(QStringLiteral("y - os "), "lY", this), 0, 1);
    grid->addWidget(namedLabel(QStringLiteral("Grupiranje"), "lGroup", this), 0, 2);
    grid->addWidget(lbX, 1, 0);
    grid->addWidget(lbY, 1, 1);
    grid->addWidget(lbGroup, 1, 2);
    grid->addWidget(bClearGroup, 2, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(bOK);
    buttons->addWidget(bCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    resize(620, 340);
    connect(bClearGroup, &QPushButton::clicked, lbGroup, &QListWidget::clearSelection);
    connect(bOK, &QPushButton::clicked, this, [this] {
        if (confirm())
            accept();
    });
    connect(bCancel, &QPushButton::clicked, this, &QDialog::reject);
    showMessage = [this](const QString& text) { QMessageBox::warning(this, windowTitle(), text); };
    finishForm();
}

void TfGraphView::select(QListWidget* list, int field)
{
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->data(kFieldRole).toInt() == field)
            list->item(i)->setSelected(true);
}

int TfGraphView::xField() const
{
    const QVector<int> x = chosen(lbX);
    return x.isEmpty() ? -1 : x.first();
}

QVector<int> TfGraphView::yFields() const
{
    return chosen(lbY);
}

int TfGraphView::groupField() const
{
    const QVector<int> g = chosen(lbGroup);
    return g.isEmpty() ? -1 : g.first();
}

bool TfGraphView::confirm()
{
    if (xField() < 0 || yFields().isEmpty()) {
        if (showMessage)
            showMessage(QStringLiteral("Missing X or Y"));
        return false;
    }
    return true;
}

Tgraf::Tgraf(const DataSet& ds, int xField, int yField, QWidget* parent)
    : QDialog(parent), ds_(ds), x_(xField), y_{yField}, chart_(new QChart),
      view_(new QChartView(chart_, this)), toolbar_(new QToolBar(this))
{
    setObjectName(QStringLiteral("graf"));
    setWindowTitle(QStringLiteral("Graf"));
    view_->setRenderHint(QPainter::Antialiasing);
    QAction* axes = toolbar_->addAction(QStringLiteral("Osi ..."));
    axes->setData(29439);
    axes->setToolTip(QStringLiteral("Izbira osi in grupiranja"));
    QAction* labels = toolbar_->addAction(QStringLiteral("Vrednosti"));
    labels->setData(29438);
    labels->setCheckable(true);
    labels->setToolTip(QStringLiteral("Vrednosti na stolpcih"));
    connect(axes, &QAction::triggered, this, &Tgraf::openAxisDialog);
    connect(labels, &QAction::triggered, this, &Tgraf::toggleLabels);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(toolbar_);
    layout->addWidget(view_, 1);
    showMessage = [this](const QString& text) { QMessageBox::warning(this, windowTitle(), text); };
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        data_ = buildChartData(ds_, x_, y_, group_);
    } catch (...) {
        QApplication::restoreOverrideCursor();
        throw;
    }
    QApplication::restoreOverrideCursor();
    rebuild();
}

Tgraf::~Tgraf() = default;

QString Tgraf::xTitle() const
{
    return x_ >= 0 ? ds_.Fields(x_)->DisplayLabel() : QString();
}

QString Tgraf::chartTitle() const
{
    QStringList labels;
    for (int y : y_)
        labels << ds_.Fields(y)->DisplayLabel();
    return labels.join(QStringLiteral(", "));
}

void Tgraf::setFields(int xField, const QVector<int>& yFields, int groupField)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        ChartData data = buildChartData(ds_, xField, yFields, groupField);
        data_ = std::move(data);
    } catch (...) {
        QApplication::restoreOverrideCursor();
        throw;
    }
    QApplication::restoreOverrideCursor();
    x_ = xField;
    y_ = yFields;
    group_ = groupField;
    rebuild();
}

void Tgraf::rebuild()
{
    chart_->removeAllSeries();
    for (QAbstractAxis* axis : chart_->axes())
        chart_->removeAxis(axis);
    chart_->setTitle(chartTitle());
    auto* series = new QBarSeries;
    double low = 0, high = 0;
    for (const ChartData::Series& s : data_.series) {
        auto* set = new QBarSet(s.title);
        for (double v : s.points) {
            // A point without rows has no bar.
            const double value = std::isnan(v) ? 0.0 : v;
            *set << value;
            low = std::min(low, value);
            high = std::max(high, value);
        }
        series->append(set);
    }
    series->setLabelsVisible(labels_);
    series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    chart_->addSeries(series);
    auto* xAxis = new QBarCategoryAxis;
    xAxis->append(data_.legends);
    xAxis->setTitleText(xTitle());
    chart_->addAxis(xAxis, Qt::AlignBottom);
    series->attachAxis(xAxis);
    auto* yAxis = new QValueAxis;
    yAxis->setRange(low, high > low ? high * 1.05 : low + 1);
    yAxis->applyNiceNumbers();
    chart_->addAxis(yAxis, Qt::AlignLeft);
    series->attachAxis(yAxis);
    // Values stand above the bars, on the chart's background: written in the
    // axes' colour (a bar set's own label colour is white, unreadable there).
    for (QBarSet* set : series->barSets())
        set->setLabelColor(yAxis->labelsColor());
    chart_->legend()->setVisible(true);
    chart_->legend()->setAlignment(Qt::AlignBottom);
}

void Tgraf::openAxisDialog()
{
    TfGraphView dialog(ds_, x_, y_, group_, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    try {
        setFields(dialog.xField(), dialog.yFields(), dialog.groupField());
    } catch (const ChartError& e) {
        if (showMessage)
            showMessage(e.text);
    }
}

void Tgraf::toggleLabels()
{
    labels_ = !labels_;
    for (QAbstractSeries* s : chart_->series())
        if (auto* bars = qobject_cast<QAbstractBarSeries*>(s))
            bars->setLabelsVisible(labels_);
}

void showGridChart(QWidget* parent, const DataSet& ds, int xField, int yField)
{
    try {
        Tgraf graf(ds, xField, yField, parent);
        graf.setWindowState(Qt::WindowMaximized);
        graf.exec();
    } catch (const ChartError& e) {
        QMessageBox::warning(parent, QStringLiteral("Graf"), e.text);
    }
}

} // namespace rek2
