#pragma once
#include "db/error.h"

#include <QSqlError>

namespace rek2 {

// Whether an engine's message says that another connection holds what a
// statement needed: SQLite's busy database or table after the wait allowed,
// PostgreSQL's lock timeout or a row it was told not to wait for.
inline bool isLockMessage(const QString& message)
{
    for (const char* locked :
         {"database is locked", "database table is locked", "lock timeout", "could not obtain lock"})
        if (message.contains(QLatin1String(locked)))
            return true;
    return false;
}

// Such a message gets a sentence in front that tells the operator what
// happened and what to do; the engine's words stay behind it, so that it is
// still recognised as one.
inline QString withLockExplanation(const QString& message)
{
    if (!isLockMessage(message))
        return message;
    return QStringLiteral(
               "Baza podatkov je zasedena: vanjo ravno piše drug program ali druga delovna postaja. "
               "Počakajte, da konča, in ponovite. (") +
           message + QStringLiteral(")");
}

// The engine's own message of a failed Qt SQL call. A server's message comes
// with its severity in front ("ERROR:  ") and its state code behind
// ("\n(22012)"); the operator gets the message alone.
inline QString engineMessage(const QSqlError& e)
{
    QString db = e.databaseText();
    if (db.isEmpty())
        return withLockExplanation(e.text());
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
    return withLockExplanation(lines.join(QLatin1Char('\n')).trimmed());
}

[[noreturn]] inline void throwSqlError(const QSqlError& e)
{
    throw DbError(engineMessage(e));
}

} // namespace rek2
