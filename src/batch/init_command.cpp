#include "batch/init_command.h"

#include "base/system_errors.h"
#include "batch/demo_generator.h"
#include "db/bulk.h"
#include "db/database_name.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <limits>
#include <stdexcept>

namespace rek2::batch {

namespace {

struct InitOptions
{
    bool demo = false;
    DemoOptions demoOptions;
};

// Parses the options; on error returns false with a Slovenian message.
bool parseOptions(const QStringList& args, InitOptions& o, QString& error)
{
    BatchOptions options;
    const QStringList valued = {QStringLiteral("--holders"), QStringLiteral("--days"),
                                QStringLiteral("--from"), QStringLiteral("--seed")};
    if (!options.parse(args, {QStringLiteral("--demo")}, valued, error))
        return false;
    o.demo = options.has(QStringLiteral("--demo"));
    if (!o.demo && !args.isEmpty()) {
        error = QStringLiteral("Možnosti --holders, --days, --from in --seed veljajo samo z --demo.");
        return false;
    }
    qint64 holders = o.demoOptions.holders;
    qint64 days = o.demoOptions.days;
    qint64 seed = qint64(o.demoOptions.seed);
    if (!options.number(QStringLiteral("--holders"), 1, 5000000, holders, error) ||
        !options.number(QStringLiteral("--days"), 1, 2000, days, error) ||
        !options.number(QStringLiteral("--seed"), 0, std::numeric_limits<qint64>::max(), seed, error) ||
        !options.day(QStringLiteral("--from"), o.demoOptions.from, error))
        return false;
    o.demoOptions.holders = int(holders);
    o.demoOptions.days = int(days);
    o.demoOptions.seed = std::uint64_t(seed);
    return true;
}

// Writes rek2.ini beside a new demo database unless one is there already,
// so the demo installation runs with the withholding codes its data use.
void writeDemoIni(BatchContext& ctx, const QString& folder)
{
    const QString path = QDir(folder).filePath(QStringLiteral("rek2.ini"));
    if (QFileInfo::exists(path))
        return;
    QSaveFile f(path);
    if (f.open(QIODevice::WriteOnly)) {
        f.write(demoIniText().toUtf8());
        if (f.commit()) {
            ctx.print(
                QStringLiteral("Zapisana nastavitvena datoteka %1.").arg(QDir::toNativeSeparators(path)));
            return;
        }
    }
    ctx.error(QStringLiteral("Nastavitvene datoteke %1 ni bilo mogoče zapisati: %2")
                  .arg(QDir::toNativeSeparators(path), fileErrorReason(f.errorString())));
}

// Creates and fills the database; throws std::runtime_error with the engine's message.
void createDatabase(BatchContext& ctx, const QString& path, const InitOptions& o)
{
    QElapsedTimer timer;
    DemoSummary s;
    createNewDatabase(
        path, o.demo,
        [&](BulkLoader& loader) {
            if (!o.demo)
                return;
            timer.start();
            s = generateDemo(loader, o.demoOptions);
        },
        ctx.user, ctx.password);
    if (!o.demo)
        return;
    ctx.print(QStringLiteral("Demo register: %1 oseb, %2 izplačil, %3 davčnih odtegljajev, %4 dogodkov, "
                             "dnevi izplačil %5 do %6, velika dividenda %7 (%8 izplačil), %9 ms.")
                  .arg(s.persons)
                  .arg(s.payouts)
                  .arg(s.withholdings)
                  .arg(s.events)
                  .arg(s.firstDay.toString(Qt::ISODate), s.lastDay.toString(Qt::ISODate),
                       s.largeDividendDay.toString(Qt::ISODate))
                  .arg(s.largeDividendPayouts)
                  .arg(timer.elapsed()));
}

} // namespace

int runInit(BatchContext& ctx, const QStringList& args)
{
    InitOptions o;
    QString error;
    if (!parseOptions(args, o, error)) {
        ctx.error(error);
        return kExitUsage;
    }
    const QString path = ctx.database;
    if (path.isEmpty()) {
        ctx.error(QStringLiteral("Ime datoteke baze manjka."));
        return kExitUsage;
    }
    try {
        createDatabase(ctx, path, o);
    } catch (const std::exception& e) {
        ctx.error(QString::fromUtf8(e.what()));
        return kExitFailed;
    }
    ctx.print(QStringLiteral("Baza %1 je ustvarjena.")
                  .arg(databaseFolder(path).isEmpty() ? displayDatabaseName(path)
                                                      : QDir::toNativeSeparators(path)));
    if (o.demo && !databaseFolder(path).isEmpty())
        writeDemoIni(ctx, databaseFolder(path));
    return kExitOk;
}

} // namespace rek2::batch
