#include "ui/screenshots.h"
#include "base/paths.h"
#include "import/sheet_import.h"
#include "ui/dialogs.h"
#include "ui/editor/tfdetailsdlg.h"
#include "ui/grid/tfwwdbgrid.h"
#include "ui/tfrek.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QPixmap>
#include <QScreen>
#include <QTabWidget>
#include <cstdio>

namespace rek2 {

namespace {

void settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

// With a sheet named by the environment: the collection tab while the sheet
// is imported (progress bar half way) and after it (grids filled).
int importScreenshots(TfRek& w, const QString& folder)
{
    const QString sheet = qEnvironmentVariable("REK2_SCREENSHOT_IMPORT");
    const QDate day = QDate::fromString(qEnvironmentVariable("REK2_SCREENSHOT_IMPORT_DAY"), Qt::ISODate);
    if (sheet.isEmpty() || !day.isValid())
        return 0;
    int written = 0;
    auto shoot = [&](const char* name) {
        settle();
        if (w.grab().save(QDir(folder).filePath(QString::fromLatin1(name))))
            ++written;
    };
    w.PageControl1->setCurrentIndex(0);
    w.dtpDatumOd->setDate(day);
    w.guarded([&] {
        importxls::SheetImport::Hooks hooks;
        hooks.grid.attachSummaryGrid = [&w](bool attached) {
            w.dbgZbirni->setDataSet(attached ? &w.ctx.odsREK2_Zbir : nullptr);
        };
        int stored = 0;
        hooks.rowStored = [&](const importxls::StoredRow&) {
            if (++stored == 150)
                shoot("4_import_med_uvozom.png");
        };
        importxls::SheetImport(w.ctx, installationFolder(), hooks).run(sheet);
    });
    shoot("4_import_po_uvozu.png");
    return written;
}

// Makes the first numbered original return current; false when none.
bool numberedOriginal(DataSet& ds)
{
    if (!ds.Active())
        return false;
    for (ds.First(); !ds.Eof(); ds.Next())
        if (ds.FieldByName(QStringLiteral("CORRECTIONTYPE"))->AsString() == QLatin1String("O") &&
            !ds.FieldByName(QStringLiteral("DURS_ID_DOK"))->IsNull())
            return true;
    return false;
}

} // namespace

int takeScreenshots(TfRek& w, const QString& folder)
{
    // The script runs on a throwaway copy of the demo database, so every
    // question is answered with consent (Ignore for abort/ignore).
    setDialogInterceptor([](const DialogRequest& r) {
        std::fprintf(stderr, "[%s] %s\n", r.title.toUtf8().constData(), r.text.toUtf8().constData());
        return r.kind == DialogKind::AbortIgnore ? 2 : 1;
    });
    QDir().mkpath(folder);
    const char* tabNames[] = {"nabor", "porocila", "pregled", "parametri"};
    int written = 0;
    for (const bool maximised : {false, true}) {
        if (maximised) {
            w.setGeometry(w.screen()->availableGeometry());
            w.setWindowState(Qt::WindowMaximized);
        } else {
            w.setWindowState(Qt::WindowNoState);
            w.resize(774, 639);
        }
        settle();
        for (int tab = 0; tab < 4; ++tab) {
            w.PageControl1->setCurrentIndex(tab);
            settle();
            // At the design size: collect yesterday's events. Maximised: show
            // them again, then write every summary as XML so the report files
            // and review tabs have something to show.
            if (tab == 0)
                w.guarded([&w, maximised] { maximised ? w.SpeedButton2Click() : w.bNaborClick(); });
            if (tab == 1 && maximised) {
                w.PageControl1->setCurrentIndex(0);
                w.cbXMLZaVseZbirne->setChecked(true);
                w.guarded([&w] { w.bXMLClick(); });
                w.PageControl1->setCurrentIndex(1);
            }
            if (tab == 2)
                w.guarded([&w] { w.SpeedButton1Click(); });
            settle();
            const QString file = QDir(folder).filePath(
                QStringLiteral("%1_%2_%3.png")
                    .arg(tab)
                    .arg(QLatin1String(tabNames[tab]))
                    .arg(maximised ? QStringLiteral("maximised") : QStringLiteral("774x639")));
            if (w.grab().save(file))
                ++written;
            else
                std::fprintf(stderr, "%s ni mogoče zapisati\n", file.toUtf8().constData());
            // The record editor as a double-click on the review grid opens it
            // for a numbered return (read-only, "Storno" and "Popravek").
            if (tab == 2 && !maximised && numberedOriginal(w.ctx.odsPregled)) {
                TfDetailsDlg dlg(w, &w);
                dlg.Pripravi(&w.ctx.odsPregled, QStringLiteral("nič"), QDateTime(), 0, QString(), true,
                             QString());
                dlg.show();
                settle();
                const QString editorFile = QDir(folder).filePath(QStringLiteral("2_pregled_urejevalnik.png"));
                if (dlg.grab().save(editorFile))
                    ++written;
                dlg.close();
                settle();
            }
        }
    }
    written += importScreenshots(w, folder);
    setDialogInterceptor(nullptr);
    return written;
}

} // namespace rek2
