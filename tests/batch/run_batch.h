#pragma once
#include "batch/batch.h"

#include <QString>
#include <QStringList>

namespace rek2::test {

struct BatchRun
{
    int code = -1;
    QString out;
    QString err;
};

// Runs the batch program's argument list (without the executable's name)
// with `home` as the installation folder; output is captured.
inline BatchRun runBatchCommand(const QStringList& args, const QString& home)
{
    BatchRun r;
    QTextStream out(&r.out);
    QTextStream err(&r.err);
    rek2::batch::BatchContext ctx;
    ctx.out = &out;
    ctx.err = &err;
    rek2::batch::loadInstallation(ctx, home.endsWith(u'/') ? home : home + u'/');
    r.code = rek2::batch::runBatch(ctx, args);
    out.flush();
    err.flush();
    return r;
}

} // namespace rek2::test
