#pragma once
#include "base/debuglog.h"
#include "base/settings.h"

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <functional>
#include <vector>

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

// The whole program after the executable's name: DATABASE USER PASSWORD
// COMMAND [options]. The context's streams and installation must be set.
int runBatch(BatchContext& ctx, const QStringList& args);

} // namespace rek2::batch
