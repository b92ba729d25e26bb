#include "collect/regroup.h"
#include "db/postgres/collect_statements.h"
#include "db/sqlite/collect_statements.h"

#include "collect/statements.h"
#include "db/dataset.h"
#include "db/error.h"
#include "db/query.h"
#include "db/session.h"
#include "db/transaction.h"
#include "returns/context.h"
#include "returns/identifiers.h"
#include "returns/working_statements.h"

namespace rek2::collect {
namespace {

const QString kShortDate = QStringLiteral("dd.MM.yyyy");

QString shortDate(const QDate& d)
{
    return d.isValid() ? d.toString(kShortDate) : QString();
}

bool isCorrection(const QString& type)
{
    return type == QLatin1String("S") || type == QLatin1String("X");
}

// Identifiers in IN lists of at most a thousand (the limit of such a list).
std::vector<std::vector<int>> inListChunks(const std::vector<int>& ids)
{
    std::vector<std::vector<int>> chunks;
    for (size_t i = 0; i < ids.size(); i += 1000)
        chunks.emplace_back(ids.begin() + long(i), ids.begin() + long(std::min(ids.size(), i + 1000)));
    return chunks;
}

} // namespace

Regrouping::Regrouping(RekContext& ctx, GridHooks hooks) : ctx_(ctx), hooks_(std::move(hooks)) {}

void Regrouping::openSource(RekContext& ctx, DataSet& source)
{
    source.Close();
    source.SetSession(ctx.session);
    source.SQL = odsNaborREK2();
    // Re-grouping reads a dozen of the row's columns; on SQLite only those
    // are fetched, and sorted in memory (same rows, same order: Oracle sorts
    // empty values last).
    QStringList fewerColumns = sqlite::regroupSource(source.SQL);
    source.SetEngineSQL(sqlite::kEngine, fewerColumns, sqlite::regroupSourceOrder());
    // PostgreSQL reads the same columns and sorts them itself, by the Oracle
    // text's ORDER BY: every further column is one more value per row to
    // take over from the server (a large dividend day: a second per run).
    source.SetEngineOracleSQL(postgres::kEngine, fewerColumns << source.SQL.mid(3));
    source.DeclareAndSet(QStringLiteral("DatumOd"), VarType::Date, ctx.datumOd);
    source.DeclareAndSet(QStringLiteral("DatumDo"), VarType::Date, ctx.datumDo);
    source.Open();
}

std::vector<AnalyticRow> readSource(DataSet& source)
{
    const int cId = source.FieldIndex(QStringLiteral("ID_REK2_ANAL"));
    const int cZbir = source.FieldIndex(QStringLiteral("ID_REK2_ZBIR"));
    const int cDvs = source.FieldIndex(QStringLiteral("DVS"));
    const int cKpn = source.FieldIndex(QStringLiteral("SFKPN"));
    const int cVp = source.FieldIndex(QStringLiteral("SFVP"));
    const int cVrs = source.FieldIndex(QStringLiteral("SIF_VRSTE_DOH"));
    const int cIzp = source.FieldIndex(QStringLiteral("DATUM_IZP_DIV"));
    const int cPlc = source.FieldIndex(QStringLiteral("DATUM_PLC_DVK"));
    const int cRez = source.FieldIndex(QStringLiteral("REZ"));
    const int cZnz = source.FieldIndex(QStringLiteral("ZNIZANASTOPNJA"));
    const int cBruto = source.FieldIndex(QStringLiteral("BRUTO"));
    const int cObr = source.FieldIndex(QStringLiteral("DAV_ODT_OBR"));
    const int cTuj = source.FieldIndex(QStringLiteral("DAV_ODT_ODB_TUJ"));

    std::vector<AnalyticRow> rows;
    const int n = source.RecordCount();
    rows.reserve(size_t(n));
    for (int r = 0; r < n; ++r) {
        AnalyticRow a;
        a.id = int(qlonglong(source.NumberValue(r, cId)));
        a.idZbir = int(qlonglong(source.NumberValue(r, cZbir)));
        if (cDvs >= 0)
            a.dvs = source.TextValue(r, cDvs);
        bool noCoupon = true;
        const double kpn = source.NumberValue(r, cKpn, &noCoupon);
        a.sfkpn = noCoupon ? QVariant() : QVariant(qlonglong(kpn));
        a.sfvp = source.TextValue(r, cVp);
        a.sifVrsteDoh = source.TextValue(r, cVrs);
        a.datumIzp = source.DateValue(r, cIzp);
        a.datumPlcDvk = source.DateValue(r, cPlc);
        a.rez = source.TextValue(r, cRez);
        a.znizanaStopnja = cZnz >= 0 ? source.TextValue(r, cZnz) : QString();
        a.bruto = source.NumberValue(r, cBruto);
        a.davOdtObr = source.NumberValue(r, cObr);
        a.davOdtOdbTuj = source.NumberValue(r, cTuj);
        rows.push_back(std::move(a));
    }
    return rows;
}

void Regrouping::deleteRebuiltSummaries()
{
    DataSet& view = ctx_.odsREK2_Zbir;
    if (!view.Active()) {
        if (view.SQL.isEmpty())
            openSummarySelectionAll(view);
        else
            view.Open();
    }
    const int cId = view.FieldIndex(QStringLiteral("ID_REK2_ZBIR"));
    const int cType = view.FieldIndex(QStringLiteral("CORRECTIONTYPE"));
    std::vector<int> doomed;
    for (int r = 0; r < view.RecordCount(); ++r)
        if (!isCorrection(view.Value(r, cType).toString()))
            doomed.push_back(view.Value(r, cId).toInt());
    if (doomed.empty())
        return;
    // One statement per thousand identifiers, all in one transaction: the
    // view's rows are gone together or not at all.
    Transaction tx(*ctx_.session);
    for (const std::vector<int>& chunk : inListChunks(doomed)) {
        Query q;
        q.SetSession(ctx_.session);
        q.SQL << QStringLiteral("DELETE FROM REK2_ZBIR WHERE ID_REK2_ZBIR IN (") + idList(chunk) +
                     QStringLiteral(") AND NVL(CORRECTIONTYPE, 'O') NOT IN ('S', 'X')");
        q.Execute();
    }
    tx.commit();
    view.Close();
}

void Regrouping::logGroup(const AnalyticRow& first)
{
    ctx_.DebugMessage(QStringLiteral("Nafilaj zbirni - podatki Vrsta Dohodka:") + first.sifVrsteDoh);
    ctx_.DebugMessage(QStringLiteral("Datum izplačila:") + shortDate(first.datumIzp));
    ctx_.DebugMessage(QStringLiteral("Datum plačila davka:") + shortDate(first.datumPlcDvk));
    ctx_.DebugMessage(QStringLiteral("Šifra kupona:") +
                      (first.sfkpn.isNull() ? QString() : first.sfkpn.toString()));
    ctx_.DebugMessage(QStringLiteral("VP:") + first.sfvp);
    ctx_.DebugMessage(QStringLiteral("ID_Zbirni:") + QString::number(first.idZbir));
}

QString Regrouping::NafilajZbirni(DataSet& source)
{
    ctx_.DebugMessage(QStringLiteral("Nafilaj zbirni - Brisanje!"));
    deleteRebuiltSummaries();

    groups_.clear();
    taxNumbersRead_ = source.FieldIndex(QStringLiteral("DVS")) >= 0;
    source.DisableControls();
    std::vector<Group> groups;
    try {
        groups = buildGroups(readSource(source));
    } catch (...) {
        source.EnableControls();
        throw;
    }
    source.First();
    source.EnableControls();

    std::vector<int> written;
    for (auto& group : groups) {
        logGroup(group.first);
        group.summaryId = NafilajTrenutni(group);
        written.push_back(group.summaryId);
    }

    ctx_.DebugMessage(QStringLiteral("Popravek REK2_ANAL na prave zbirne."));
    groups_ = std::move(groups);
    reassignRows(groups_);
    return idList(written);
}

std::vector<RepeatedTaxNumber> Regrouping::repeatedTaxNumbers()
{
    // A summary record written anew holds exactly the rows its group moved
    // to it, whose tax numbers were read with the source: they are counted
    // here. A correction record that was only updated may hold rows of
    // other groups or periods, and a group whose rows changed meanwhile is
    // not what was read: those records are counted by the database. (A
    // record written anew has a new identifier, never one a row held before;
    // a record kept is the one the group's first row pointed at.)
    std::vector<RepeatedTaxNumber> repeated;
    std::vector<int> askDatabase;
    for (const Group& group : groups_) {
        if (group.summaryId == 0)
            continue;
        if (taxNumbersRead_ && group.rowsMoved && group.summaryId != group.first.idZbir) {
            for (RepeatedTaxNumber r : group.repeated) {
                r.summaryId = group.summaryId;
                repeated.push_back(std::move(r));
            }
        } else if (std::find(askDatabase.begin(), askDatabase.end(), group.summaryId) == askDatabase.end()) {
            askDatabase.push_back(group.summaryId);
        }
    }
    for (const std::vector<int>& chunk : inListChunks(askDatabase)) {
        DataSet odsTemp(QStringLiteral("odsTemp"));
        odsTemp.SetSession(ctx_.session);
        odsTemp.SQL = QStringList{duplicateCheckSql(idList(chunk))};
        odsTemp.Open();
        const int cDvs = odsTemp.FieldIndex(QStringLiteral("DVS"));
        const int cSt = odsTemp.FieldIndex(QStringLiteral("ST"));
        const int cZbir = odsTemp.FieldIndex(QStringLiteral("ID_REK2_ZBIR"));
        for (int r = 0; r < odsTemp.RecordCount(); ++r)
            repeated.push_back({odsTemp.Value(r, cDvs).toString(), odsTemp.Value(r, cSt).toInt(),
                                odsTemp.Value(r, cZbir).toInt()});
        odsTemp.Close();
    }
    std::sort(repeated.begin(), repeated.end(), [](const RepeatedTaxNumber& a, const RepeatedTaxNumber& b) {
        return a.dvs != b.dvs ? a.dvs < b.dvs : a.summaryId < b.summaryId;
    });
    return repeated;
}

void Regrouping::reassignRows(std::vector<Group>& groups)
{
    bool any = false;
    for (auto& group : groups) {
        if (group.summaryId == 0)
            continue;
        const QString sql = reassignmentSql(group.summaryId, group.rowIds);
        if (sql.isEmpty())
            continue;
        Transaction tx(*ctx_.session);
        try {
            ctx_.DebugMessage(QStringLiteral("SQL:") + sql);
            Query q;
            q.SetSession(ctx_.session);
            q.SQL = sql.split(QLatin1Char('\n'));
            // Plain SQL on every engine; sent as it is, a list of many
            // thousand identifiers needs no rewriting. SQLite takes them
            // bound as one array rather than parsing each literal.
            q.SetEngineSQL(q.GetSession()->engine(), q.SQL);
            q.SetEngineSQL(sqlite::kEngine, {sqlite::reassignRows()});
            q.DeclareAndSet(QStringLiteral("ID_REK2_ZBIR"), VarType::Integer, group.summaryId);
            q.DeclareAndSet(QStringLiteral("IDS"), VarType::String, reassignmentIds(group.rowIds));
            q.Execute();
            tx.commit();
            any = true;
            group.rowsMoved = q.RowsProcessed() == std::count_if(group.rowIds.begin(), group.rowIds.end(),
                                                                 [](int id) { return id != 0; });
            ctx_.DebugMessage(QStringLiteral("Update uspešan. Popravljenih vrstica:") +
                              QString::number(q.RowsProcessed()));
        } catch (...) {
            tx.rollback();
            ctx_.DebugMessage(QStringLiteral("Update neuspešan."));
            throw;
        }
    }
    // The analytic grid shows the same rows whichever group was re-assigned
    // last, so it is reloaded once rather than once per group.
    if (any && reloadGrid_)
        openAnalyticWorking(ctx_.odsNabor, ctx_.datumOd, ctx_.datumDo);
}

double Regrouping::rate(const QVariant& sfkpn, const QString& sfvp, const QDate& dan)
{
    QString type = QStringLiteral("D");
    Query q;
    q.SetSession(ctx_.session);
    q.SQL = QStringList{qTipSFKPN()};
    q.DeclareAndSet(QStringLiteral("SFKPN"), VarType::Integer, sfkpn);
    q.Execute();
    if (q.RowCount() > 0) {
        type = q.FieldAsString(0);
    } else {
        Query v;
        v.SetSession(ctx_.session);
        v.SQL = QStringList{qTipSFVP()};
        v.DeclareAndSet(QStringLiteral("KRT"), VarType::String, sfvp);
        v.Execute();
        if (v.RowCount() > 0)
            type = v.FieldAsString(0);
    }
    if (type != QLatin1String("D") && type != QLatin1String("O"))
        type = QStringLiteral("D");

    Query s;
    s.SetSession(ctx_.session);
    s.SQL = qStopnja();
    s.DeclareAndSet(QStringLiteral("DAN"), VarType::Date, dan);
    s.DeclareAndSet(QStringLiteral("TIP"), VarType::String, type);
    s.Execute();
    return s.RowCount() > 0 ? s.FieldAsFloat(0) : 0.0;
}

int Regrouping::NafilajTrenutni(const Group& group)
{
    const AnalyticRow& g = group.first;
    const GroupTotals& t = group.totals;
    ctx_.DebugMessage(QStringLiteral("Filanje v zbirni."));
    Transaction tx(*ctx_.session);
    try {
        Query old;
        old.SetSession(ctx_.session);
        old.SQL << QStringLiteral("SELECT CORRECTIONTYPE FROM REK2_ZBIR WHERE ID_REK2_ZBIR=:ID");
        old.DeclareAndSet(QStringLiteral("ID"), VarType::Integer, g.idZbir);
        old.Execute();
        const bool keep = old.RowCount() > 0 && isCorrection(old.FieldAsString(0));

        int id = g.idZbir;
        Query w;
        w.SetSession(ctx_.session);
        QString correctionType = QStringLiteral("O");
        if (keep) {
            ctx_.DebugMessage(QStringLiteral("Zbirni obstaja, samo popravek vrednosti ...."));
            correctionType = old.FieldAsString(0);
            w.SQL << QStringLiteral(
                "UPDATE REK2_ZBIR SET SIF_VRSTE_DOH=:SIF_VRSTE_DOH, MESEC_LETO=:MESEC_LETO, "
                "DATUM_IZP=:DATUM_IZP, DATUM_PLC_DVK=NVL(:DATUM_PLC_DVK, DATUM_PLC_DVK),");
        } else {
            ctx_.DebugMessage(QStringLiteral("Zbirni ne obstaja, INSERT ...."));
            id = GetNewID(*ctx_.session, ctx_.settings, QStringLiteral("Zbirni"));
            ctx_.DebugMessage(QStringLiteral("ID_REK2_ZBIR:") + QString::number(id));
            ctx_.DebugMessage(QStringLiteral("DatumPlcDvk:") + shortDate(g.datumPlcDvk));
            ctx_.DebugMessage(QStringLiteral("DatumIzp:") + shortDate(g.datumIzp));
            ctx_.DebugMessage(QStringLiteral("FDanZacetka:") + shortDate(ctx_.settings.FDanZacetka));
            correctionType = collect::correctionType(g.datumIzp, g.datumPlcDvk, ctx_.settings.FDanZacetka,
                                                     ctx_.settings.FDanZacetka.isValid());
            ctx_.DebugMessage(QStringLiteral("CORRECTIONTYPE:") + correctionType);
            QString reference;
            if (correctionType == QLatin1String("D"))
                reference = firstPartDocument(g);
            w.SQL << QStringLiteral(
                "INSERT INTO REK2_ZBIR (ID_REK2_ZBIR, DURS_ID_DOK, CORRECTIONFORDOCUMENT, "
                "CORRECTIONFORANALITICALDATA, CORRECTIONTYPE, NAZIV, NASLOV, POOB_DVS, "
                "SIF_VRSTE_DOH, MESEC_LETO, DATUM_IZP, DATUM_PLC_DVK, ZAPST_DEL, STZAP_REZ, "
                "STZAP_NEREZ, NETO, DOH, DOH_NEREZ, DOH_BREZ_DAVODT, DAV_OSN, DAV_ODT, STOPNJA, "
                "DAV_TUJ, DAV_ZNZ_STP_LES, DAV_ZNZ_STP, SKUPAJ, VPL_PODRACUN, SFVP, SFKPN, "
                "DAV_ZNZ_OSN)");
            w.SQL << QStringLiteral(
                "VALUES (:ID, NULL, :REF, :REF, :CORRECTIONTYPE, NULL, NULL, NULL, "
                ":SIF_VRSTE_DOH, :MESEC_LETO, :DATUM_IZP, :DATUM_PLC_DVK, :ZAPST_DEL, :STZAP_REZ, "
                ":STZAP_NEREZ, :NETO, :DOH, :DOH_NEREZ, :DOH_BREZ_DAVODT, :DAV_OSN, :DAV_ODT, "
                ":STOPNJA, :DAV_TUJ, :DAV_ZNZ_STP_LES, :DAV_ZNZ_STP, :SKUPAJ, :VPL_PODRACUN, "
                ":SFVP, :SFKPN, :DAV_ZNZ_OSN)");
            w.DeclareAndSet(QStringLiteral("REF"), VarType::String, reference);
            w.DeclareAndSet(QStringLiteral("CORRECTIONTYPE"), VarType::String, correctionType);
        }
        if (keep)
            w.SQL << QStringLiteral(
                "ZAPST_DEL=:ZAPST_DEL, STZAP_REZ=:STZAP_REZ, STZAP_NEREZ=:STZAP_NEREZ, "
                "NETO=:NETO, DOH=:DOH, DOH_NEREZ=:DOH_NEREZ, DOH_BREZ_DAVODT=:DOH_BREZ_DAVODT, "
                "DAV_OSN=:DAV_OSN, DAV_ODT=:DAV_ODT, STOPNJA=:STOPNJA, DAV_TUJ=:DAV_TUJ, "
                "DAV_ZNZ_STP_LES=:DAV_ZNZ_STP_LES, DAV_ZNZ_STP=:DAV_ZNZ_STP, SKUPAJ=:SKUPAJ, "
                "VPL_PODRACUN=:VPL_PODRACUN, SFVP=:SFVP, SFKPN=:SFKPN, DAV_ZNZ_OSN=:DAV_ZNZ_OSN "
                "WHERE ID_REK2_ZBIR=:ID");

        const double dohBrezDavOdt = 0;
        w.DeclareAndSet(QStringLiteral("ID"), VarType::Integer, id);
        w.DeclareAndSet(QStringLiteral("SIF_VRSTE_DOH"), VarType::String, g.sifVrsteDoh);
        w.DeclareAndSet(QStringLiteral("MESEC_LETO"), VarType::String,
                        g.datumIzp.toString(QStringLiteral("MM.yyyy")));
        w.DeclareAndSet(QStringLiteral("DATUM_IZP"), VarType::Date, g.datumIzp);
        w.DeclareAndSet(QStringLiteral("DATUM_PLC_DVK"), VarType::Date,
                        g.datumPlcDvk.isValid() ? QVariant(g.datumPlcDvk) : QVariant());
        w.DeclareAndSet(QStringLiteral("ZAPST_DEL"), VarType::Integer,
                        correctionType == QLatin1String("D") ? 2 : 1);
        w.DeclareAndSet(QStringLiteral("STZAP_REZ"), VarType::Integer, t.stZapRez);
        w.DeclareAndSet(QStringLiteral("STZAP_NEREZ"), VarType::Integer, t.stZapNerez);
        w.DeclareAndSet(QStringLiteral("NETO"), VarType::Float, t.neto);
        w.DeclareAndSet(QStringLiteral("DOH"), VarType::Float, t.doh);
        w.DeclareAndSet(QStringLiteral("DOH_NEREZ"), VarType::Float, t.dohNerez);
        w.DeclareAndSet(QStringLiteral("DOH_BREZ_DAVODT"), VarType::Float, dohBrezDavOdt);
        w.DeclareAndSet(QStringLiteral("DAV_OSN"), VarType::Float, t.doh - dohBrezDavOdt);
        w.DeclareAndSet(QStringLiteral("DAV_ODT"), VarType::Float, t.sumO2 + t.sumT);
        w.DeclareAndSet(QStringLiteral("STOPNJA"), VarType::Float, rate(g.sfkpn, g.sfvp, g.datumIzp));
        w.DeclareAndSet(QStringLiteral("DAV_TUJ"), VarType::Float, t.sumT);
        w.DeclareAndSet(QStringLiteral("DAV_ZNZ_STP_LES"), VarType::Float, 0.0);
        w.DeclareAndSet(QStringLiteral("DAV_ZNZ_STP"), VarType::Float, t.znzStp);
        w.DeclareAndSet(QStringLiteral("SKUPAJ"), VarType::Float, roundCents(t.sumO2));
        w.DeclareAndSet(QStringLiteral("VPL_PODRACUN"), VarType::String, ctx_.settings.VplPodracun);
        w.DeclareAndSet(QStringLiteral("SFVP"), VarType::String, g.sfvp);
        w.DeclareAndSet(QStringLiteral("SFKPN"), VarType::Integer, g.sfkpn);
        w.DeclareAndSet(QStringLiteral("DAV_ZNZ_OSN"), VarType::Float, t.znzOsn);
        w.Execute();
        tx.commit();
        ctx_.DebugMessage(QStringLiteral("Zbirni nafilan."));
        return id;
    } catch (...) {
        tx.rollback();
        ctx_.DebugMessage(QStringLiteral("Zbirni ni nafilan."));
        throw;
    }
}

QString Regrouping::firstPartDocument(const AnalyticRow& g)
{
    Query q;
    q.SetSession(ctx_.session);
    q.SQL = odsZbirniDelni();
    // The kind of income is a text code; bound as text it also matches codes
    // that are not numbers.
    q.DeclareAndSet(QStringLiteral("SifVrsDoh"), VarType::String, g.sifVrsteDoh);
    q.DeclareAndSet(QStringLiteral("DatumIzp"), VarType::Date, g.datumIzp);
    q.DeclareAndSet(QStringLiteral("SFVP"), VarType::String, g.sfvp);
    q.DeclareAndSet(QStringLiteral("SFKPN"), VarType::Integer, g.sfkpn);
    ctx_.DebugMessage(QStringLiteral("Provera ali je zbirni delni od originala:") +
                      q.SQL.join(QLatin1Char('\n')));
    ctx_.DebugMessage(QStringLiteral("Parametri SifVrsDoh:") + g.sifVrsteDoh);
    ctx_.DebugMessage(QStringLiteral("Parametri DatumIzp:") + shortDate(g.datumIzp));
    ctx_.DebugMessage(QStringLiteral("Parametri SFVP:") + g.sfvp);
    ctx_.DebugMessage(QStringLiteral("Parametri SFKPN:") +
                      (g.sfkpn.isNull() ? QString() : g.sfkpn.toString()));
    q.Execute();
    QString document;
    if (q.RowCount() > 0)
        document = q.FieldAsString(QStringLiteral("DURS_ID_DOK"));
    q.Close();
    if (!document.isEmpty())
        ctx_.DebugMessage(
            QStringLiteral("Popravek CORRECTIONFORDOCUMENT in CORRECTIONFORANALITICALDATA na ") + document);
    return document;
}

void odsNaborAfterRefresh(RekContext& ctx, GridHooks hooks)
{
    if (ctx.FKopiranje)
        return;
    Regrouping regroup(ctx, hooks);
    regroup.setReloadAnalyticGrid(false); // loaded once, at the end
    // Another workstation's collection or re-grouping finishes first.
    WorkLock work(ctx.session, kCollectionWork);
    if (ctx.odsREK2_Zbir.Active())
        regroup.deleteRebuiltSummaries();
    ctx.odsREK2_Zbir.Close();
    if (hooks.attachSummaryGrid)
        hooks.attachSummaryGrid(false);
    Regrouping::openSource(ctx, ctx.odsNaborREK2);
    const QString ids = regroup.NafilajZbirni(ctx.odsNaborREK2);
    if (ctx.odsNabor.Active()) {
        ctx.odsNabor.First();
        while (ctx.odsNabor.ControlsDisabled())
            ctx.odsNabor.EnableControls();
    }
    if (hooks.attachSummaryGrid)
        hooks.attachSummaryGrid(true);
    openSummarySelection(ctx.odsREK2_Zbir, ids);
    openAnalyticWorking(ctx.odsNabor, ctx.datumOd, ctx.datumDo);
}

} // namespace rek2::collect
