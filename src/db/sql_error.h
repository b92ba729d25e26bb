#pragma once
#include "db/error.h"

#include <QSqlError>

namespace rek2 {

// The engine's own message of a failed Qt SQL call. A server's message comes
// with its severity in front ("ERROR:  ") and its state code behind
// ("\n(22012)"); the operator gets the message alone.
inline QString engineMessage(const QSqlError& e)
{
    QString db = e.databaseText();
    if (db.isEmpty())
        return e.text();
    for (const char* severity : {"ERROR:  ", "FATAL:  ", "PANIC:  "})
        if (db.startsWith(QLatin1String(severity)))
            db.remove(0, int(qstrlen(severity)));
    const qsizetype state = db.lastIndexOf(QLatin1String("\n("));
    if (state >= 0 && db.endsWith(QLatin1Char(')')) && db.size() - state == 8)
        db.truncate(state);
    // The position in the statement ("LINE 1: ..." and a caret line) shows
    // the engine's text, not the operator's.
    QStringList lines = db.split(QLatin1Char('\n'));
    // So does the server's call stack of a trigger or function ("CONTEXT:").
    for (int i = 0; i < lines.size(); ++i)
        if (lines[i].startsWith(QLatin1String("CONTEXT:"))) {
            lines.erase(lines.begin() + i, lines.end());
            break;
        }
    for (int i = 0; i < lines.size(); ++i)
        if (lines[i].startsWith(QLatin1String("LINE ")))
            lines.erase(lines.begin() + i, lines.begin() + qMin(i + 2, int(lines.size())));
    return lines.join(QLatin1Char('\n')).trimmed();
}

[[noreturn]] inline void throwSqlError(const QSqlError& e)
{
    throw DbError(engineMessage(e));
}

} // namespace rek2
