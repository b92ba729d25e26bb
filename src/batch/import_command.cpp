#include "batch/import_command.h"

#include "batch/batch.h"
#include "batch/summary_print.h"
#include "collect/summary_fields.h"
#include "db/error.h"
#include "db/session.h"
#include "import/sheet_import.h"
#include "import/workbook.h"
#include "returns/context.h"

namespace rek2::batch {

namespace {

constexpr int kExitFindings = 4;

// The operator of a batch import: the day was given on the command line,
// so the confirmation is answered yes; messages go to standard error.
class ImportOperator : public Operator
{
public:
    explicit ImportOperator(BatchContext& ctx) : ctx_(ctx) {}
    void Napaka(const QString& message, const QString&) override { ctx_.error(message); }
    int Opozorilo(const QString&, const QString&, const QString&) override { return 1; }
    bool AbortIgnore(const QString& message) override
    {
        ctx_.error(message);
        return false;
    }
    void Information(const QString& message) override { ctx_.error(message); }
    bool Question(const QString&, const QString&) override { return false; }
    QString OpenFileName(const QString&, const QString&) override { return QString(); }
    void ShowMsgDlg(bool, const QString&) override {}

private:
    BatchContext& ctx_;
};

void printFindings(BatchContext& ctx, const QString& findings)
{
    for (const QString& line : findings.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        ctx.print(line);
}

} // namespace

int runImportCommand(BatchContext& ctx, const QStringList& args)
{
    BatchOptions options;
    QString error;
    QStringList files;
    if (!options.parse(args, {QStringLiteral("--yes")}, {QStringLiteral("--day")}, error, &files)) {
        ctx.error(error);
        return kExitUsage;
    }
    QDate day;
    if (files.size() != 1 || !options.has(QStringLiteral("--day"))) {
        ctx.error(QStringLiteral("Uporaba: import DATOTEKA --day LLLL-MM-DD [--yes]"));
        return kExitUsage;
    }
    if (!options.day(QStringLiteral("--day"), day, error)) {
        ctx.error(error);
        return kExitUsage;
    }
    const QString file = files.first();

    Session session;
    ImportOperator op(ctx);
    RekContext rek;
    try {
        logOnForReturns(ctx, session, rek);
        rek.op = &op;
        rek.datumOd = day;
        rek.datumDo = day;

        const auto table = importxls::readWorkbook(file);
        const auto mapping = importxls::loadImportMapping(session);
        const auto plan = importxls::planImport(table, mapping, day);
        const QString dayText = day.toString(QStringLiteral("dd.MM.yyyy"));
        if (!options.has(QStringLiteral("--yes"))) {
            if (plan.count == 0)
                ctx.print(QStringLiteral("V preglednici ni vrstic za dan %1 (od vrstice %2).")
                              .arg(dayText)
                              .arg(mapping.start));
            else
                ctx.print(QStringLiteral(
                              "Import bi shranil %1 vrstic (vrstice %2 do %3) na dan %4. Za shranjevanje "
                              "dodajte --yes.")
                              .arg(plan.count)
                              .arg(plan.firstRow)
                              .arg(plan.lastRow)
                              .arg(dayText));
            return kExitOk;
        }

        collect::installSummaryCalcFields(rek, rek.odsREK2_Zbir);
        importxls::SheetImport::Hooks hooks;
        hooks.rowStored = [&](const importxls::StoredRow& row) {
            ctx.print(QString::number(row.id) + QLatin1Char('\t') + QString::number(row.sheetRow) +
                      QLatin1Char('\t') + row.naziv);
        };
        importxls::SheetImport import(rek, ctx.installationFolder, hooks);
        importxls::ImportOutcome outcome;
        try {
            outcome = import.run(file);
        } catch (const std::exception&) {
            // The rows stored before the error stay; their findings were
            // written to the log file as well.
            printFindings(ctx, import.findingsSoFar());
            throw;
        }
        printFindings(ctx, outcome.findings);
        printSummaries(ctx, rek.odsREK2_Zbir);
        if (outcome.wrongDay)
            return kExitFailed;
        return outcome.findings.isEmpty() ? kExitOk : kExitFindings;
    } catch (const importxls::ImportError& e) {
        ctx.error(e.message());
        return kExitFailed;
    } catch (const DbError& e) {
        ctx.error(e.message());
        return kExitFailed;
    }
}

} // namespace rek2::batch
