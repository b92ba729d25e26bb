#include "batch/collect_command.h"

#include "batch/batch.h"
#include "batch/summary_print.h"
#include "collect/collection_run.h"
#include "collect/summary_fields.h"
#include "db/error.h"
#include "db/session.h"
#include "returns/context.h"

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
        logOnForReturns(ctx, session, rek);
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
