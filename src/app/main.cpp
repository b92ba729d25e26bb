#include "app/tfrek.h"

#include <QApplication>

int main(int argc, char** argv)
{
    // Database name, user name and password; with fewer the program ends at
    // once, without a window or a message.
    if (argc < 4)
        return 0;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("rek2"));
    rek2::TfRek window(
        {QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3])});
    window.show();
    return app.exec();
}
