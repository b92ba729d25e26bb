#pragma once
#include "db/error.h"

#include <QSqlError>
#include <initializer_list>

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

// What Qt's driver says (as a warning only, its error being empty) of a
// statement after the server ended the session: the connection is closed.
inline constexpr const char* kConnectionGone = "database not open";

// An engine's message the operator can act on gets a sentence in front that
// says what happened and what to do; the engine's words stay behind it in
// parentheses (a lock conflict is still recognised as one). Others stay as
// they are.
inline QString withExplanation(const QString& message)
{
    struct Explanation
    {
        std::initializer_list<const char*> engineTexts;
        const char* sentence;
    };
    static const Explanation explanations[] = {
        // SQLite; PostgreSQL's server when its disk is full.
        {{"database or disk is full", "No space left on device"},
         "Na disku z bazo podatkov ni več prostora. Sprostite prostor in ponovite."},
        {{"database disk image is malformed", "invalid page in block"},
         "Datoteka baze podatkov je poškodovana. Obrnite se na skrbnika baze (obnova iz varnostne kopije)."},
        {{"disk I/O error"}, "Napaka diska pri branju ali pisanju baze podatkov."},
        // PostgreSQL: the server went away (stopped, restarted, the session
        // ended by its administrator, the network).
        {{"terminating connection", "server closed the connection unexpectedly", "no connection to the server",
          "could not receive data from server", "could not send data to server", kConnectionGone},
         "Povezava s strežnikom baze podatkov je prekinjena. Ko bo strežnik spet dosegljiv, program zaprite in "
         "znova odprite."},
        {{"attempt to write a readonly database", "read-only transaction"},
         "V bazo podatkov ni mogoče pisati: odprta je samo za branje."},
    };
    static const char* const locked =
        "Baza podatkov je zasedena: vanjo ravno piše drug program ali druga delovna postaja. "
        "Počakajte, da konča, in ponovite.";
    // A message passed on from a statement inside another is explained once.
    const auto explain = [&message](const char* sentence) {
        const QString front = QString::fromUtf8(sentence) + QStringLiteral(" (");
        return message.startsWith(front) ? message : front + message + QStringLiteral(")");
    };
    if (isLockMessage(message))
        return explain(locked);
    for (const Explanation& e : explanations)
        for (const char* text : e.engineTexts)
            if (message.contains(QLatin1String(text)))
                return explain(e.sentence);
    return message;
}

// The engine's own message of a failed Qt SQL call. A server's message comes
// with its severity in front ("ERROR:  ") and its state code behind
// ("\n(22012)"); the operator gets the message alone.
inline QString engineMessage(const QSqlError& e)
{
    QString db = e.databaseText();
    if (db.isEmpty()) {
        // Refused by the driver before any engine saw it, with no word why:
        // the connection is gone (a statement after the server ended the
        // session). Never an empty message.
        if (e.text().trimmed().isEmpty())
            return withExplanation(QLatin1String(kConnectionGone));
        return withExplanation(e.text());
    }
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
    return withExplanation(lines.join(QLatin1Char('\n')).trimmed());
}

[[noreturn]] inline void throwSqlError(const QSqlError& e)
{
    throw DbError(engineMessage(e));
}

} // namespace rek2
