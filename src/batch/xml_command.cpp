#include "batch/xml_command.h"

#include "batch/batch.h"
#include "collect/regroup.h"
#include "collect/summary_fields.h"
#include "db/dataset.h"
#include "db/error.h"
#include "db/session.h"
#include "returns/context.h"
#include "returns/working_statements.h"
#include "review/pregled.h"
#include "review/review_chain.h"
#include "xmlreturn/xml_return_run.h"

#include <QDate>
#include <QSet>

namespace rek2::batch {
namespace {

struct PeriodOptions
{
    QDate from, to;
    bool all = false;
    QList<int> ids;
};

bool parseOptions(const QStringList& args, bool withIds, PeriodOptions& o, QString& error)
{
    BatchOptions options;
    QStringList ids;
    const QStringList flags = withIds ? QStringList{QStringLiteral("--all")} : QStringList{};
    if (!options.parse(args, flags, {QStringLiteral("--from"), QStringLiteral("--to")}, error,
                       withIds ? &ids : nullptr))
        return false;
    o.all = options.has(QStringLiteral("--all"));
    for (const QString& a : ids) {
        bool ok = false;
        const int id = a.toInt(&ok);
        if (!ok || id <= 0) {
            error = QStringLiteral("Neznana možnost: %1").arg(a);
            return false;
        }
        o.ids << id;
    }
    if (!options.period(o.from, o.to, error))
        return false;
    if (withIds && o.all == !o.ids.isEmpty()) {
        error = QStringLiteral("Navedite --all ali identifikatorje zbirnih zapisov.");
        return false;
    }
    return true;
}

QString oneLine(QString text)
{
    return text.replace(QLatin1Char('\n'), QLatin1Char(' '));
}

} // namespace

int runXmlCommand(BatchContext& ctx, const QStringList& args)
{
    PeriodOptions o;
    QString error;
    if (!parseOptions(args, true, o, error)) {
        ctx.error(error);
        return kExitUsage;
    }
    Session session;
    QuietOperator op;
    RekContext rek;
    rek.op = &op;
    rek.datumOd = o.from;
    rek.datumDo = o.to;
    std::optional<XmlReturnRun> run;
    try {
        logOnForReturns(ctx, session, rek);
        // The summaries of the period as the collection tab shows them: those
        // of its pending analytic rows. While every such row points at an
        // existing summary, these are the returns Show would build (only
        // with new identifiers), so they are taken as they are and the
        // identifiers named on the command line stay valid. A row whose
        // summary is gone (a collection of another period re-groups and
        // drops it) is grouped anew first, as Show does.
        collect::installSummaryCalcFields(rek, rek.odsREK2_Zbir);
        QList<int> shown;
        QSet<int> seen;
        const auto readShown = [&] {
            shown.clear();
            seen.clear();
            openAnalyticWorking(rek.odsNabor, o.from, o.to);
            TField* zbir = rek.odsNabor.FieldByName(QStringLiteral("ID_REK2_ZBIR"));
            bool stale = false;
            for (rek.odsNabor.First(); !rek.odsNabor.Eof(); rek.odsNabor.Next()) {
                const int id = zbir->AsInteger();
                stale = stale || id <= 0;
                if (id > 0 && !seen.contains(id)) {
                    seen.insert(id);
                    shown << id;
                }
            }
            if (!shown.isEmpty()) {
                openSummarySelection(rek.odsREK2_Zbir, joinIds(shown));
                stale = stale || rek.odsREK2_Zbir.RecordCount() < shown.size();
            }
            return stale;
        };
        if (readShown()) {
            collect::odsNaborAfterRefresh(rek);
            readShown();
        }
        if (shown.isEmpty()) {
            ctx.print(QStringLiteral("Za obdobje od %1 do %2 ni zbirnih zapisov za pošiljanje.")
                          .arg(o.from.toString(QStringLiteral("dd.MM.yyyy")),
                               o.to.toString(QStringLiteral("dd.MM.yyyy"))));
            return kExitOk;
        }
        for (int id : o.ids) {
            if (!seen.contains(id)) {
                ctx.error(QStringLiteral("Zbirni %1 ni med zbirnimi zapisi obdobja.").arg(id));
                return kExitFailed;
            }
        }
        rek.selectedZbirIds = o.ids;
        rek.xmlZaVseZbirne = o.all;

        run.emplace(rek);
        const XmlRunResult result = run->run();
        for (const auto& file : result.files)
            ctx.print(file);
        for (const auto& warning : result.warnings)
            ctx.print(oneLine(warning));
        return kExitOk;
    } catch (const std::exception& e) {
        if (run) {
            for (const auto& file : run->result().files)
                ctx.print(file);
            for (const auto& warning : run->result().warnings)
                ctx.print(oneLine(warning));
        }
        if (const auto* x = dynamic_cast<const XmlReturnError*>(&e))
            ctx.error(x->message());
        else if (const auto* db = dynamic_cast<const DbError*>(&e))
            ctx.error(db->message());
        else
            ctx.error(QString::fromUtf8(e.what()));
        return kExitFailed;
    }
}

int runHistoryCommand(BatchContext& ctx, const QStringList& args)
{
    PeriodOptions o;
    QString error;
    if (!parseOptions(args, false, o, error)) {
        ctx.error(error);
        return kExitUsage;
    }
    static const QStringList columns = {"ID_REK2_ZBIR",  "SFVP",
                                        "STKPN",         "CORRECTIONTYPE",
                                        "SIF_VRSTE_DOH", "DATUM_IZP",
                                        "DATUM_PLC_DVK", "ZAPST_DEL",
                                        "STZAP_REZ",     "STZAP_NEREZ",
                                        "NETO",          "DOH",
                                        "DOH_NEREZ",     "DAV_OSN",
                                        "DAV_ODT",       "STOPNJA",
                                        "DAV_TUJ",       "DAV_ZNZ_STP",
                                        "DAV_ZNZ_OSN",   "SKUPAJ",
                                        "DURS_ID_DOK",   "CORRECTIONFORDOCUMENT",
                                        "CAS",           "USR",
                                        "COMPUTER"};
    static const QStringList wholeNumbers = {"ID_REK2_ZBIR", "STKPN", "ZAPST_DEL", "STZAP_REZ",
                                             "STZAP_NEREZ"};
    static const QStringList texts = {
        "SFVP", "CORRECTIONTYPE", "SIF_VRSTE_DOH", "DURS_ID_DOK", "CORRECTIONFORDOCUMENT", "USR", "COMPUTER"};
    static const QStringList dates = {"DATUM_IZP", "DATUM_PLC_DVK", "CAS"};

    Session session;
    QuietOperator op;
    RekContext rek;
    rek.op = &op;
    try {
        logOnForReturns(ctx, session, rek);
        DataSet view(QStringLiteral("odsREK2ZbirEDP"));
        view.SetSession(&session);
        view.SQL = QStringList{
            QStringLiteral(
                " SELECT Z.*, (SELECT K.STKPN FROM KPN K WHERE K.SFKPN = Z.SFKPN AND Z.SFKPN > 0) AS "
                "STKPN FROM REK2_ZBIR_HST Z "),
            QStringLiteral(" WHERE Z.DATUM_IZP >= :DatumOd AND Z.DATUM_IZP <= :DatumDo "),
            QStringLiteral(" ORDER BY SIF_VRSTE_DOH, DATUM_IZP, DATUM_PLC_DVK, ID_REK2_ZBIR ")};
        view.DeclareAndSet(QStringLiteral("DatumOd"), VarType::Date, o.from);
        view.DeclareAndSet(QStringLiteral("DatumDo"), VarType::Date, o.to);
        view.Open();
        ctx.print(columns.join(QLatin1Char('\t')) + QStringLiteral("\tSUPERSEDED"));
        // Superseded among the printed summaries, as the review tab draws them.
        const std::vector<bool> superseded = review::supersededFlags(review::chainEntries(view));
        for (view.First(); !view.Eof(); view.Next()) {
            QStringList line;
            for (const QString& column : columns) {
                TField* f = view.FieldByName(column);
                if (f->IsNull())
                    line << QString();
                else if (dates.contains(column))
                    line << f->AsDate().toString(Qt::ISODate);
                else if (wholeNumbers.contains(column))
                    line << QString::number(qRound64(f->AsFloat()));
                else if (texts.contains(column))
                    line << f->AsString();
                else
                    line << QString::number(f->AsFloat(), 'f', 2);
            }
            line << (superseded[size_t(view.CurrentRow())] ? QStringLiteral("D") : QStringLiteral("N"));
            ctx.print(line.join(QLatin1Char('\t')));
        }
        return kExitOk;
    } catch (const DbError& e) {
        ctx.error(e.message());
        return kExitFailed;
    }
}

} // namespace rek2::batch
