#include "batch/batch.h"

#include "base/paths.h"
#include "base/settings_ini.h"
#include "db/session.h"
#include "returns/context.h"
#include "returns/settings_db.h"
#include "xmlreturn/return_journal.h"

#include <QDir>
#include <QFileInfo>

namespace rek2::batch {

void BatchContext::print(const QString& text) const
{
    if (out) {
        *out << text << Qt::endl;
    }
}

void BatchContext::error(const QString& text) const
{
    if (err) {
        *err << text << Qt::endl;
    }
}

bool BatchOptions::parse(const QStringList& args, const QStringList& flags, const QStringList& valued,
                         QString& error, QStringList* positional)
{
    values_.clear();
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (flags.contains(a)) {
            values_.insert(a, QString());
            continue;
        }
        if (positional && !a.startsWith(QLatin1String("--"))) {
            positional->append(a);
            continue;
        }
        if (!valued.contains(a)) {
            error = QStringLiteral("Neznana možnost: %1").arg(a);
            return false;
        }
        if (i + 1 >= args.size()) {
            error = QStringLiteral("Možnost %1 zahteva vrednost.").arg(a);
            return false;
        }
        values_.insert(a, args.at(++i));
    }
    return true;
}

bool BatchOptions::day(const QString& name, QDate& day, QString& error) const
{
    if (!has(name))
        return true;
    const QString text = value(name);
    const QDate d = QDate::fromString(text, Qt::ISODate);
    if (!d.isValid() || text.size() != 10) {
        error = QStringLiteral("Neveljaven datum za %1: %2 (oblika LLLL-MM-DD).").arg(name, text);
        return false;
    }
    day = d;
    return true;
}

bool BatchOptions::period(QDate& from, QDate& to, QString& error) const
{
    if (!day(QStringLiteral("--from"), from, error) || !day(QStringLiteral("--to"), to, error))
        return false;
    if (!from.isValid()) {
        error = QStringLiteral("Manjka možnost --from.");
        return false;
    }
    if (!to.isValid())
        to = from;
    if (to < from) {
        error = QStringLiteral("Datum --to je pred datumom --from.");
        return false;
    }
    return true;
}

bool BatchOptions::number(const QString& name, qint64 min, qint64 max, qint64& number, QString& error) const
{
    if (!has(name))
        return true;
    bool ok = false;
    const qint64 n = value(name).toLongLong(&ok);
    if (!ok || n < min || n > max) {
        error = QStringLiteral("Neveljavna vrednost za %1: %2 (celo število od %3 do %4).")
                    .arg(name, value(name))
                    .arg(min)
                    .arg(max);
        return false;
    }
    number = n;
    return true;
}

void loadInstallation(BatchContext& ctx, const QString& installationFolder)
{
    ctx.installationFolder = installationFolder;
    const QString ini = QDir(installationFolder).filePath(QStringLiteral("rek2.ini"));
    // A missing INI file is no error for the batch program: commands that need
    // its settings (folders, withholding codes) check iniFound themselves.
    ctx.iniFound = QFileInfo::exists(ini) && readIniSettings(ini, installationFolder, ctx.settings);
    ctx.log.setFile(QDir(installationFolder).filePath(QStringLiteral("Log.txt")));
    ctx.log.setDebug(ctx.settings.Debug);
    ctx.log.setFailureReporter([&ctx](const QString& text) { ctx.error(text); });
}

void finishInterruptedWork(BatchContext& ctx, Session& session)
{
    for (const QString& line : journal::finishInterruptedReturns(session, ctx.settings.XMLPath))
        ctx.log.DebugMessage(QStringLiteral("rek2-batch: ") + line);
}

namespace {

void logOnOnly(const BatchContext& ctx, Session& session)
{
    session.LogonDatabase = ctx.database;
    session.LogonUsername = ctx.user;
    session.LogonPassword = ctx.password;
    session.LogOn();
}

} // namespace

void logOn(BatchContext& ctx, Session& session)
{
    logOnOnly(ctx, session);
    finishInterruptedWork(ctx, session);
}

void logOnForReturns(BatchContext& ctx, Session& session, RekContext& rek)
{
    logOnOnly(ctx, session);
    rek.settings = ctx.settings;
    for (const auto& message : loadDatabaseSettings(session, rek.settings))
        ctx.error(message);
    finishInterruptedWork(ctx, session);
    rek.attachSession(&session);
    rek.log = &ctx.log;
}

namespace {

QString usageText()
{
    QString text = QStringLiteral("Uporaba: rek2-batch BAZA UPORABNIK GESLO UKAZ [možnosti]\nUkazi:");
    for (const BatchCommand& c : batchCommands())
        text += QStringLiteral("\n  ") + c.usage;
    return text;
}

} // namespace

int runBatch(BatchContext& ctx, const QStringList& args)
{
    if (args.size() < 4) {
        ctx.error(usageText());
        return kExitUsage;
    }
    ctx.database = args.at(0);
    ctx.user = args.at(1);
    ctx.password = args.at(2);
    const QString name = args.at(3);
    for (const BatchCommand& c : batchCommands()) {
        if (c.name.compare(name, Qt::CaseInsensitive) == 0) {
            ctx.log.DebugMessage(QStringLiteral("rek2-batch: ") + c.name + QStringLiteral(" START"));
            const int code = c.run(ctx, args.mid(4));
            ctx.log.DebugMessage(QStringLiteral("rek2-batch: ") + c.name + QStringLiteral(" END (") +
                                 QString::number(code) + QLatin1Char(')'));
            return code;
        }
    }
    ctx.error(QStringLiteral("Neznan ukaz: %1").arg(name));
    ctx.error(usageText());
    return kExitUsage;
}

} // namespace rek2::batch
