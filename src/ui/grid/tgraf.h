#pragma once
#include "gridexport/chart_data.h"
#include "ui/grid/dialog_base.h"

#include <QDialog>

class QListWidget;
class QPushButton;
class QToolBar;

class QChart;
class QChartView;

namespace rek2 {

class DataSet;

// The axis dialog of the chart: "x - os " (text, integer and date fields),
// "y - os " (number fields, several), "Grupiranje" (as x, may stay empty).
class TfGraphView : public TDialog
{
    Q_OBJECT
public:
    TfGraphView(const DataSet& ds, int xField, const QVector<int>& yFields, int groupField,
                QWidget* parent = nullptr);

    QListWidget* lbX;
    QListWidget* lbY;
    QListWidget* lbGroup;
    QPushButton* bClearGroup;
    QPushButton* bOK;
    QPushButton* bCancel;

    int xField() const;
    QVector<int> yFields() const;
    int groupField() const;

    // OK: refuses (with "Missing X or Y") without an X field or a Y field.
    bool confirm();
    std::function<void(const QString&)> showMessage;

private:
    void select(QListWidget* list, int field);
    const DataSet& ds_;
};

// The chart window of a grid: X legends and one series per group value and
// Y field, built by buildChartData. Made for one use.
class Tgraf : public QDialog
{
    Q_OBJECT
public:
    // Throws ChartError when the data has too many series.
    Tgraf(const DataSet& ds, int xField, int yField, QWidget* parent = nullptr);
    ~Tgraf() override;

    // Takes new fields (after the axis dialog); on ChartError the chart
    // keeps what it showed and the error is thrown.
    void setFields(int xField, const QVector<int>& yFields, int groupField);
    // The axis dialog (toolbar command 29439).
    void openAxisDialog();
    // Labels on the points on and off (toolbar command 29438).
    void toggleLabels();

    const ChartData& data() const { return data_; }
    QChart* chart() const { return chart_; }
    QString xTitle() const;
    QString chartTitle() const;

    std::function<void(const QString&)> showMessage;

private:
    void rebuild();

    const DataSet& ds_;
    int x_;
    QVector<int> y_;
    int group_ = -1;
    ChartData data_;
    bool labels_ = false;
    QChart* chart_;
    QChartView* view_;
    QToolBar* toolbar_;
};

// Opens the chart of a grid's first two columns maximised and modally.
// Reports too many series with the message instead of showing the chart.
void showGridChart(QWidget* parent, const DataSet& ds, int xField, int yField);

} // namespace rek2
