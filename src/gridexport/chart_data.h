#pragma once
#include <QString>
#include <QStringList>
#include <QVector>
#include <stdexcept>

namespace rek2 {

class DataSet;

// What the grid's chart shows: one label per distinct X text (in order of
// first appearance) and one series per group value and Y field, each point
// the sum of Y over the rows with that X text and group value. A point with
// no rows is NaN (not drawn).
struct ChartData
{
    struct Series
    {
        QString title; // Y caption, ": ", group value
        QVector<double> points;
    };
    QStringList legends;
    QVector<Series> series;
};

class ChartError : public std::runtime_error
{
public:
    explicit ChartError(const QString& message) : std::runtime_error(message.toStdString()), text(message) {}
    QString text;
};

constexpr int kChartSeriesLimit = 100;

// `groupField` -1: no grouping (one empty group value). More than 99 series
// throw ChartError "Limit of 100 series exceeded".
ChartData buildChartData(const DataSet& ds, int xField, const QVector<int>& yFields, int groupField);

} // namespace rek2
