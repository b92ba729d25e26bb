#pragma once
#include "base/debuglog.h"
#include "base/operator.h"
#include "base/settings.h"

#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <functional>
#include <vector>

namespace rek2 {
class Session;
struct RekContext;
} // namespace rek2

namespace rek2::batch {

// What every command gets: the program's three first arguments, the
// installation settings and debug log as the window has them, and the two
// output streams (standard output and error in the executable, strings in tests).
struct BatchContext
{
    QString database;
    QString user;
    QString password;

    QString installationFolder; // ends with "/"
    bool iniFound = false;      // rek2.ini was there and read
    Settings settings;
    DebugLog log;

    QTextStream* out = nullptr;
    QTextStream* err = nullptr;

    void print(const QString& text) const;
    void error(const QString& text) const;
};

// The options of one command: flags ("--demo") and options with a value
// ("--from 2026-12-01"). Errors are Slovenian messages for standard error.
class BatchOptions
{
public:
    // False with `error` set on an unknown option or a missing value. With
    // `positional`, arguments that are not options (summary identifiers) are
    // collected there instead of being refused.
    bool parse(const QStringList& args, const QStringList& flags, const QStringList& valued, QString& error,
               QStringList* positional = nullptr);

    bool has(const QString& name) const { return values_.contains(name); }
    QString value(const QString& name) const { return values_.value(name); }

    // The day of a valued option in the form YYYY-MM-DD; an absent option
    // leaves `day` as it is. False with `error` set when malformed.
    bool day(const QString& name, QDate& day, QString& error) const;

    // The period of --from (required) and --to (defaults to --from, as the
    // collection tab's pickers are coupled; never before --from).
    bool period(QDate& from, QDate& to, QString& error) const;

    // A whole number from `min` to `max`; absent: `number` stays as it is.
    bool number(const QString& name, qint64 min, qint64 max, qint64& number, QString& error) const;

private:
    QHash<QString, QString> values_;
};

// A command: its arguments are everything after the command name.
// Returns the process exit code (0 success).
using CommandFunction = std::function<int(BatchContext&, const QStringList&)>;

struct BatchCommand
{
    QString name;
    QString usage; // one line, shown by the usage text
    CommandFunction run;
};

// Every command the batch program knows; a new command is one more entry
// in this table (batch_commands.cpp).
const std::vector<BatchCommand>& batchCommands();

// Exit codes.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1; // the command ran and failed (database error, bad data)
constexpr int kExitUsage = 2;  // wrong arguments

// Reads rek2.ini of the installation folder into the context (when there is
// one) and points the debug log at Log.txt, as the window does at start.
void loadInstallation(BatchContext& ctx, const QString& installationFolder);

// Every command that opens the database first finishes what a crash of an
// earlier XML run left in the folder of unsent returns (logged line by line).
void finishInterruptedWork(BatchContext& ctx, Session& session);

// Logs `session` on with the program's database, user and password, then
// finishes interrupted work as above.
void logOn(BatchContext& ctx, Session& session);

// logOn, and readies `rek` for work on returns: the installation's settings
// completed by the database's own (their complaints to standard error), the
// session and the debug log. The operator and the period are the caller's.
void logOnForReturns(BatchContext& ctx, Session& session, RekContext& rek);

// The operator of commands whose outcome comes back in their result: nothing
// is asked, warnings answer "no", messages are left to the command to print.
class QuietOperator : public Operator
{
public:
    void Napaka(const QString&, const QString&) override {}
    int Opozorilo(const QString&, const QString&, const QString&) override { return 2; }
    bool AbortIgnore(const QString&) override { return false; }
    void Information(const QString&) override {}
    bool Question(const QString&, const QString&) override { return false; }
    QString OpenFileName(const QString&, const QString&) override { return QString(); }
    void ShowMsgDlg(bool, const QString&) override {}
};

// The whole program after the executable's name: DATABASE USER PASSWORD
// COMMAND [options]. The context's streams and installation must be set.
int runBatch(BatchContext& ctx, const QStringList& args);

} // namespace rek2::batch
