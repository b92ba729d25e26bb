// Pictures of the grid services for a person to look at. Runs only when
// REK2_GRID_SCREENSHOT_DIR names a folder:
//   REK2_GRID_SCREENSHOT_DIR=/tmp/shots build/tests/ui/gridservices/test_gridservices
//   --gtest_filter='Screenshots.*'
#include "gridexport/progress.h"
#include "gridexport/sample_rows.h"
#include "ui/grid/grid_buttons.h"
#include "ui/grid/tfdatasetprint.h"
#include "ui/grid/tflocate.h"
#include "ui/grid/tfprogress.h"
#include "ui/grid/tfsort.h"
#include "ui/grid/tfwwdbgrid.h"
#include "ui/grid/tgraf.h"
#include "ui/grid/tsortselect.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QTabWidget>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using rek2::test::SampleRows;

namespace {

QVector<QVector<QVariant>> payouts()
{
    static const char* const names[] = {"Novak Janez", "Horvat Marija", "Kovačič Žiga", "Krajnc Ana",
                                        "Zupančič Črt"};
    QVector<QVector<QVariant>> rows;
    for (int i = 1; i <= 40; ++i)
        rows.push_back(
            {i, QString::fromUtf8(names[i % 5]), 100.0 * (i % 7) + 0.25 * i, QDate(2026, 3, 1 + i % 3)});
    return rows;
}

void save(QWidget* w, const QString& name)
{
    w->grab().save(
        QDir(qEnvironmentVariable("REK2_GRID_SCREENSHOT_DIR")).filePath(name + QStringLiteral(".png")));
}

} // namespace

TEST(Screenshots, GridServices)
{
    if (qEnvironmentVariableIsEmpty("REK2_GRID_SCREENSHOT_DIR"))
        GTEST_SKIP() << "REK2_GRID_SCREENSHOT_DIR not set";
    SampleRows s(payouts());
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* grid = new rek2::TFwwDBGrid;
    layout->addWidget(grid);
    grid->setDataSet(&s.ds);
    grid->labelText = QStringLiteral("Analitični podatki za marec 2026");
    window.resize(760, 360);
    window.show();
    QApplication::setActiveWindow(&window);
    grid->setFocus();
    emit grid->horizontalHeader()->sectionClicked(0);
    QApplication::processEvents();
    save(&window, QStringLiteral("button_row"));

    rek2::TfLocate& locate = rek2::TfLocate::instance();
    locate.prepare(&s.ds);
    locate.cbField->setCurrentIndex(1);
    locate.eValue->setText(QStringLiteral("Kov"));
    locate.show();
    QApplication::processEvents();
    save(&locate, QStringLiteral("locate"));
    locate.hide();

    rek2::TsortSelect& chooser = rek2::TsortSelect::instance();
    chooser.prepare(&s.ds, {{0, "Šifra"}, {1, "Naziv prejemnika"}, {2, "Znesek"}}, {{3, "Datum"}});
    chooser.show();
    QApplication::processEvents();
    save(&chooser, QStringLiteral("column_chooser"));
    chooser.hide();

    rek2::TfSort& sort = rek2::TfSort::instance();
    rek2::TSortInfoItem byName;
    byName.DisplayText = QStringLiteral("Naziv prejemnika");
    sort.prepare({byName}, 0, {});
    sort.show();
    QApplication::processEvents();
    save(&sort, QStringLiteral("sort"));
    sort.hide();

    rek2::TfProgress& progress = rek2::TfProgress::instance();
    progress.start(QStringLiteral("Copy to clipboard"), 40);
    for (int i = 0; i < 17; ++i)
        progress.step();
    progress.adjustSize();
    QApplication::processEvents();
    save(&progress, QStringLiteral("progress"));
    progress.close();

    {
        rek2::Tgraf chart(s.ds, 1, 2);
        chart.setFields(1, {2}, 3);
        chart.toggleLabels();
        chart.resize(900, 560);
        chart.show();
        QApplication::processEvents();
        save(&chart, QStringLiteral("chart"));
        rek2::TfGraphView axes(s.ds, 1, {2}, 3);
        axes.show();
        QApplication::processEvents();
        save(&axes, QStringLiteral("chart_axes"));
    }

    rek2::TfDataSetPrint& print = rek2::TfDataSetPrint::instance();
    print.open(s.ds, grid->gridColumns(), grid->labelText);
    print.localTitleClick(2);
    QApplication::processEvents();
    save(&print, QStringLiteral("print_window_settings"));
    print.sortiranjeClick();
    QApplication::processEvents();
    save(&print, QStringLiteral("print_window_sort"));
    print.grupiranjeClick();
    QApplication::processEvents();
    save(&print, QStringLiteral("print_window_group"));
    print.hide();
    grid->setDataSet(nullptr);
}
