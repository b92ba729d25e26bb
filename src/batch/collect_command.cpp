#include "batch/collect_command.h"

#include "batch/batch.h"
#include "collect/collection_run.h"
#include "collect/summary_fields.h"
#include "db/error.h"
#include "db/session.h"
#include "returns/context.h"
#include "returns/settings_db.h"

#include <QDate>

namespace rek2::batch {
namespace {

struct CollectOptions
{
    QDate from, to;
    bool ignoreDuplicates = false;
};

bool parseCollectOptions(const QStringList& args, CollectOptions& o, QString& error)
{
    BatchOptions options;
    if (!options.parse(args, {QStringLiteral("--ignore-duplicates")},
                       {QStringLiteral("--from"), QStringLiteral("--to")}, error))
        return false;
    o.ignoreDuplicates = options.has(QStringLiteral("--ignore-duplicates"));
    return options.period(o.from, o.to, error);
}

// The operator of a batch run: the duplicate question is answered by the
// option, its text goes to standard error; nothing else is asked.
class BatchOperator : public Operator
{
public:
    BatchOperator(BatchContext& ctx, bool ignoreDuplicates) : ctx_(ctx), ignore_(ignoreDuplicates) {}

    void Napaka(const QString& message, const QString&) override { ctx_.error(message); }
    int Opozorilo(const QString& message, const QString&, const QString&) override
    {
        ctx_.error(message);
        return 2;
    }
    bool AbortIgnore(const QString& message) override
    {
        if (!ignore_)
            ctx_.error(message);
        return ignore_;
    }
    void Information(const QString& message) override { ctx_.error(message); }
    bool Question(const QString&, const QString&) override { return false; }
    QString OpenFileName(const QString&, const QString&) override { return QString(); }
    void ShowMsgDlg(bool, const QString&) override {}

private:
    BatchContext& ctx_;
    bool ignore_;
};

const QStringList kColumns = {
    "ID_REK2_ZBIR", "SFVP",          "STKPN",       "CORRECTIONTYPE", "SIF_VRSTE_DOH",
    "DATUM_IZP",    "DATUM_PLC_DVK", "ZAPST_DEL",   "STZAP_REZ",      "STZAP_NEREZ",
    "NETO",         "DOH",           "DOH_NEREZ",   "DAV_OSN",        "DAV_ODT",
    "STOPNJA",      "DAV_TUJ",       "DAV_ZNZ_STP", "DAV_ZNZ_OSN",    "SKUPAJ",
};
const QStringList kWholeNumbers = {"ID_REK2_ZBIR", "STKPN", "ZAPST_DEL", "STZAP_REZ", "STZAP_NEREZ"};
const QStringList kTexts = {"SFVP", "CORRECTIONTYPE", "SIF_VRSTE_DOH"};
const QStringList kDates = {"DATUM_IZP", "DATUM_PLC_DVK"};

QString cell(DataSet& view, const QString& column)
{
    TField* f = view.FieldByName(column);
    if (f->IsNull())
        return QString();
    if (kDates.contains(column))
        return f->AsDate().toString(Qt::ISODate);
    if (kWholeNumbers.contains(column))
        return QString::number(qRound64(f->AsFloat()));
    if (kTexts.contains(column))
        return f->AsString();
    return QString::number(f->AsFloat(), 'f', 2);
}

void printSummaries(BatchContext& ctx, DataSet& view)
{
    if (!ctx.out)
        return;
    *ctx.out << kColumns.join(QLatin1Char('\t')) << '\n';
    if (view.Active()) {
        for (view.First(); !view.Eof(); view.Next()) {
            QStringList line;
            for (const auto& column : kColumns)
                line << cell(view, column);
            *ctx.out << line.join(QLatin1Char('\t')) << '\n';
        }
    }
    ctx.out->flush();
}

} // namespace

int runCollect(BatchContext& ctx, const QStringList& args)
{
    CollectOptions options;
    QString error;
    if (!parseCollectOptions(args, options, error)) {
        ctx.error(error);
        return kExitUsage;
    }
    Session session;
    BatchOperator op(ctx, options.ignoreDuplicates);
    RekContext rek;
    try {
        session.LogonDatabase = ctx.database;
        session.LogonUsername = ctx.user;
        session.LogonPassword = ctx.password;
        session.LogOn();
        rek.settings = ctx.settings;
        for (const auto& message : loadDatabaseSettings(session, rek.settings))
            ctx.error(message);
        rek.attachSession(&session);
        rek.log = &ctx.log;
        rek.op = &op;
        rek.datumOd = options.from;
        rek.datumDo = options.to;
        collect::installSummaryCalcFields(rek, rek.odsREK2_Zbir);

        collect::CollectionRun run(rek);
        const auto outcome = run.bNaborClick();
        if (outcome == collect::CollectionRun::Outcome::Aborted)
            return kExitDuplicates;
        printSummaries(ctx, rek.odsREK2_Zbir);
        return kExitOk;
    } catch (const DbError& e) {
        ctx.error(e.message());
        return kExitFailed;
    }
}

} // namespace rek2::batch
