#include "gridexport/chart_data.h"
#include "gridexport/sample_rows.h"
#include "ui/grid/tgraf.h"

#include <QAbstractAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QListWidget>
#include <cmath>
#include <gtest/gtest.h>

using rek2::test::SampleRows;

TEST(Chart, LegendsInFirstOrderSumsPerPointAndEmptyPointsStayEmpty)
{
    SampleRows s({{1, QStringLiteral("B"), 1.0, QDate(2026, 1, 1)},
                  {2, QStringLiteral("A"), 2.0, QDate(2026, 1, 2)},
                  {3, QStringLiteral("B"), 3.5, QDate(2026, 1, 2)},
                  {4, QStringLiteral("C"), QVariant(), QDate(2026, 1, 1)}});
    // X = Naziv, Y = Znesek, grouped by Datum.
    const rek2::ChartData d = rek2::buildChartData(s.ds, 1, {2}, 3);
    EXPECT_EQ(d.legends, (QStringList{"B", "A", "C"}));
    ASSERT_EQ(d.series.size(), 2);
    EXPECT_EQ(d.series[0].title, QStringLiteral("Znesek: 01.01.2026"));
    EXPECT_EQ(d.series[0].points[0], 1.0);
    EXPECT_TRUE(std::isnan(d.series[0].points[1]));
    EXPECT_TRUE(std::isnan(d.series[0].points[2])); // a NULL amount draws nothing
    EXPECT_EQ(d.series[1].points[0], 3.5);
    EXPECT_EQ(d.series[1].points[1], 2.0);

    // Without grouping: one series titled with the caption and ": ".
    const rek2::ChartData one = rek2::buildChartData(s.ds, 1, {2}, -1);
    ASSERT_EQ(one.series.size(), 1);
    EXPECT_EQ(one.series[0].title, QStringLiteral("Znesek: "));
    EXPECT_EQ(one.series[0].points[0], 4.5);

    SampleRows empty({});
    const rek2::ChartData none = rek2::buildChartData(empty.ds, 1, {2}, -1);
    EXPECT_TRUE(none.legends.isEmpty());
}

TEST(Chart, AHundredSeriesAreRefusedAndTheChartKeepsItsContent)
{
    QVector<QVector<QVariant>> rows;
    for (int i = 0; i < 100; ++i)
        rows.push_back({i, QStringLiteral("x"), 1.0, QDate(2026, 1, 1).addDays(i)});
    SampleRows s(rows);
    try {
        rek2::buildChartData(s.ds, 1, {2}, 3);
        FAIL();
    } catch (const rek2::ChartError& e) {
        EXPECT_EQ(e.text, QStringLiteral("Limit of 100 series exceeded"));
    }
    rows.pop_back();
    SampleRows fewer(rows);
    EXPECT_EQ(rek2::buildChartData(fewer.ds, 1, {2}, 3).series.size(), 99);

    rek2::Tgraf graf(s.ds, 1, 2);
    EXPECT_EQ(graf.xTitle(), QStringLiteral("Naziv prejemnika"));
    EXPECT_EQ(graf.chart()->title(), QStringLiteral("Znesek"));
    EXPECT_THROW(graf.setFields(1, {2}, 3), rek2::ChartError);
    EXPECT_EQ(graf.data().series.size(), 1);
    // The values shown above the bars are written like the axes' numbers (a
    // bar set's own label colour is white: unreadable on the chart's background).
    graf.toggleLabels();
    const auto* bars = qobject_cast<QBarSeries*>(graf.chart()->series().value(0));
    ASSERT_NE(bars, nullptr);
    EXPECT_TRUE(bars->isLabelsVisible());
    const QAbstractAxis* yAxis = graf.chart()->axes(Qt::Vertical).value(0);
    ASSERT_NE(yAxis, nullptr);
    EXPECT_EQ(bars->barSets().value(0)->labelColor().name().toStdString(),
              yAxis->labelsColor().name().toStdString());
}

TEST(Chart, AxisDialogRefusesOkWithoutXOrY)
{
    SampleRows s({{1, QStringLiteral("a"), 1.0, QDate(2026, 1, 1)}});
    rek2::TfGraphView dlg(s.ds, 1, {2}, -1);
    QStringList messages;
    dlg.showMessage = [&](const QString& m) { messages << m; };
    // x: text, integer and date fields; y: number fields.
    EXPECT_EQ(dlg.lbX->count(), 3);
    EXPECT_EQ(dlg.lbY->count(), 1);
    EXPECT_TRUE(dlg.confirm());
    dlg.lbY->clearSelection();
    EXPECT_FALSE(dlg.confirm());
    EXPECT_EQ(messages, QStringList{QStringLiteral("Missing X or Y")});
}
