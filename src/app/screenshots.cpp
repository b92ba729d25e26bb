#include "app/screenshots.h"
#include "app/dialogs.h"
#include "app/tfrek.h"

#include <QApplication>
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

} // namespace

int takeScreenshots(TfRek& w, const QString& folder)
{
    setDialogInterceptor([](const DialogRequest& r) {
        std::fprintf(stderr, "[%s] %s\n", r.title.toUtf8().constData(), r.text.toUtf8().constData());
        return r.kind == DialogKind::AbortIgnore ? 1 : int(std::max<qsizetype>(1, r.buttons.size()));
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
            // The "?" buttons load the collection and review grids.
            if (tab == 0)
                w.guarded([&w] { w.SpeedButton2Click(); });
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
        }
    }
    setDialogInterceptor(nullptr);
    return written;
}

} // namespace rek2
