#include "base/paths.h"
#include "batch/batch.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    rek2::batch::BatchContext ctx;
    ctx.out = &out;
    ctx.err = &err;
    rek2::batch::loadInstallation(ctx, rek2::installationFolder());
    return rek2::batch::runBatch(ctx, app.arguments().mid(1));
}
