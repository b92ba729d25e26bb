#include "ui/screenshots.h"
#include "ui/tfrek.h"
#include "ui/translate/dialog_translator.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    // Database name, user name and password; with fewer the program ends at
    // once, without a window or a message.
    if (argc < 4)
        return 0;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("rek2"));
    // The grid dialogs translate their texts when QuorTrans.ini says so.
    rek2::installDialogTranslator();
    rek2::TfRek window(
        {QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3])});
    window.show();

    // For the project's screenshot script: grab each tab and end.
    const QString shots = qEnvironmentVariable("REK2_SCREENSHOT_DIR");
    if (!shots.isEmpty()) {
        // A window that waits for a person (a file dialog, the record editor)
        // must not hang the script.
        QTimer::singleShot(180000, [] {
            std::fprintf(stderr, "Posnetki niso končani v treh minutah.\n");
            std::_Exit(2);
        });
        QTimer::singleShot(200, &window, [&] {
            const int written = rek2::takeScreenshots(window, shots);
            QApplication::exit(written >= 8 ? 0 : 1); // the eight tab pictures at least
        });
    }
    return app.exec();
}
