#include "base/debuglog.h"

#include "base/system_errors.h"

#include <QDateTime>
#include <QFile>
#include <QStringConverter>

namespace rek2 {

void DebugLog::DebugMessage(const QString& text)
{
    if (debug_ != 1 || path_.isEmpty())
        return;
    const QString line = QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")) +
                         QStringLiteral(": ") + text + QStringLiteral("\r\n");
    QFile f(path_);
    bool ok = f.open(QIODevice::Append);
    if (ok) {
        const QByteArray bytes = line.toUtf8();
        ok = f.write(bytes) == bytes.size();
        ok = f.flush() && ok;
        f.close();
    }
    if (!ok && !failureReported_) {
        failureReported_ = true;
        if (reporter_)
            reporter_(QStringLiteral("Dnevnika %1 ni mogoče pisati: %2")
                          .arg(path_, fileErrorReason(f.errorString())));
    }
}

} // namespace rek2
