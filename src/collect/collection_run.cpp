#include "collect/collection_run.h"

#include "base/event_codes.h"
#include "collect/statements.h"
#include "db/dialect.h"
#include "db/error.h"
#include "db/postgres/collect_statements.h"
#include "db/query.h"
#include "db/session.h"
#include "db/sqlite/collect_statements.h"
#include "db/transaction.h"
#include "returns/context.h"
#include "returns/working_statements.h"

namespace rek2::collect {
namespace {

QString flag(bool on)
{
    return on ? QStringLiteral("=true)") : QStringLiteral("=false)");
}

// Surviving links of an analytic row that is about to go with a vanished
// event go back to unlinked, so the next run rebuilds the row from the events
// that remain; otherwise their payout would never be reported.
QString unlinkSurvivorsSql()
{
    return QStringLiteral(
        " update rek2_dog set id_rek2_anal = 0 where id_rek2_anal > 0 and id_rek2_anal in (select "
        "R.ID_REK2_ANAL "
        "from rek2_DOG R where NOT EXISTS(select iddog from dog D where D.IDDOG=R.id_dog) and "
        "nvl(length(R.durs_id_dok), 0) = 0) and EXISTS(select D.iddog from dog D where "
        "D.IDDOG=rek2_dog.id_dog) "
        "and nvl(length(durs_id_dok), 0) = 0 ");
}

} // namespace

CollectionRun::CollectionRun(RekContext& ctx, RunHooks hooks) : ctx_(ctx), hooks_(std::move(hooks)) {}

void CollectionRun::log(const QString& text)
{
    ctx_.DebugMessage(QStringLiteral("TfRek.bNaborClick: ") + text);
}

void CollectionRun::logCount(const QString& label, int count, const QString& sql)
{
    log(label + QStringLiteral(" (count=") + QString::number(count) + QStringLiteral(")"));
    ctx_.DebugMessage(QStringLiteral("SQL:"));
    ctx_.DebugMessage(sql);
}

int CollectionRun::sfVpGotEur(RekContext& ctx)
{
    Query q;
    q.SetSession(ctx.session);
    q.SQL << euroChangeoverSql();
    q.Execute();
    // Without a row the empty row reads as date 0 and number 0.
    const QDate danOd = q.RowCount() > 0 ? q.FieldAsDate(0) : QDate();
    const int sfVpFrom = q.RowCount() > 0 ? q.FieldAsInteger(1) : 0;
    q.Close();
    if (!danOd.isValid())
        return sfVpFrom;
    if (ctx.datumOd >= danOd)
        return sfVpFrom;
    if (ctx.datumDo < danOd)
        return 1;
    return sfVpFrom;
}

void CollectionRun::checkEventCodes()
{
    // The codes go verbatim into IN lists: an empty or malformed list is
    // refused before any statement runs.
    if (!ctx_.settings.FHasBrutoDiv || isValidEventCodeList(ctx_.settings.SfDogDvcOdt))
        return;
    if (hooks_.showParametersTab)
        hooks_.showParametersTab();
    throw DbError(eventCodesMessage());
}

void CollectionRun::cleanUp()
{
    Transaction tx(*ctx_.session);
    Query q;
    q.SetSession(ctx_.session);

    // All three statements act only on links without a document number whose
    // event is gone. Usually there is none, and each of them would read every
    // link to find that out: one look settles it for the three.
    Query check;
    check.SetSession(ctx_.session);
    check.SQL = QStringList{vanishedLinkSql()};
    check.SetEngineSQL(sqlite::kEngine, {sqlite::vanishedLinkCheck()});
    check.Execute();
    const bool vanished = check.RowCount() > 0;
    check.Close();

    const QString deleteDogSqlite = QStringLiteral(
        " delete from rek2_dog where NOT EXISTS(select D.iddog from dog D where D.IDDOG=rek2_dog.id_dog) "
        "and nvl(length(durs_id_dok), 0) = 0 ");
    auto run = [&](const QString& label, const QString& sql, const QString& sqliteSql) {
        int count = 0;
        if (vanished) {
            q.SQL = QStringList{sql};
            if (!sqliteSql.isEmpty())
                q.SetEngineSQL(sqlite::kEngine, {sqliteSql});
            q.Execute();
            count = q.RowsProcessed();
        }
        logCount(label, count, sql);
    };
    run(QStringLiteral("1.0. UPDATE REK2_DOG"), unlinkSurvivorsSql(), QString());
    run(QStringLiteral("1.1. DELETE FROM REK2_ANAL"), cleanupAnalSql(), QString());
    // SQLite takes no alias on the table of a DELETE.
    run(QStringLiteral("1.2. DELETE FROM REK2_DOG"), cleanupDogSql(), deleteDogSqlite);
    tx.commit();
}

void CollectionRun::selectEventsAndRows()
{
    const Settings& s = ctx_.settings;
    const int eur = sfVpGotEur(ctx_);
    Transaction tx(*ctx_.session);
    sqlite::collectLaterLinks(*ctx_.session, ctx_.datumOd, ctx_.datumDo);

    Query events(s.FHasBrutoDiv ? QStringLiteral("qREK2_DOG") : QStringLiteral("qREK2_DOG_BrezBrutoDiv"));
    events.SetSession(ctx_.session);
    events.SQL = eventStatement(s).split(QLatin1Char('\n'));
    events.SetEngineSQL(sqlite::kEngine, sqlite::eventStatement(s).split(QLatin1Char('\n')));
    events.SetEngineOracleSQL(postgres::kEngine, postgres::eventStatement(s).split(QLatin1Char('\n')));
    events.DeclareAndSet(QStringLiteral("DatumOd"), VarType::Date, ctx_.datumOd);
    events.DeclareAndSet(QStringLiteral("DatumDo"), VarType::Date, ctx_.datumDo);
    events.Execute();
    ctx_.session->dialect().tableChanged(*ctx_.session, QStringLiteral("REK2_DOG"));
    logCount(s.FHasBrutoDiv ? QStringLiteral("2.1. INSERT INTO REK2_DOG(1)")
                            : QStringLiteral("2.1. INSERT INTO REK2_DOG(2)"),
             events.RowsProcessed(), events.SQL.join(QLatin1Char('\n')));

    Query rows(s.FHasBrutoDiv ? QStringLiteral("qNabor") : QStringLiteral("qNabor_BrezBrutoDiv"));
    rows.SetSession(ctx_.session);
    rows.SQL = analyticStatement(s).split(QLatin1Char('\n'));
    rows.SetEngineSQL(sqlite::kEngine, sqlite::analyticStatement(s).split(QLatin1Char('\n')));
    rows.SetEngineSQL(postgres::kEngine, postgres::analyticInsert(s).split(QLatin1Char('\n')));
    rows.DeclareAndSet(QStringLiteral("DatumOd"), VarType::Date, ctx_.datumOd);
    rows.DeclareAndSet(QStringLiteral("DatumDo"), VarType::Date, ctx_.datumDo);
    rows.DeclareAndSet(QStringLiteral("SfVpGotEUR"), VarType::Integer, eur);
    rows.Execute();
    ctx_.session->dialect().tableChanged(*ctx_.session, QStringLiteral("REK2_ANAL"));
    logCount(s.FHasBrutoDiv ? QStringLiteral("2.2. INSERT INTO REK2_ANAL(1)")
                            : QStringLiteral("2.2. INSERT INTO REK2_ANAL(2)"),
             rows.RowsProcessed(), rows.SQL.join(QLatin1Char('\n')));

    checkNewRows();
    tx.commit();
}

// A new row without a gross amount (its coupon row is missing) or without a
// rate in force on its payout date would go into a return with wrong
// figures; the step is refused with the first such row named.
void CollectionRun::checkNewRows()
{
    Query q;
    q.SetSession(ctx_.session);
    q.SQL << QStringLiteral(
        "SELECT A.SFVP, A.DATUM_IZP_DIV, A.NAZIV FROM REK2_ANAL A WHERE A.ID_REK2_ZBIR=0 AND "
        "A.BRUTO IS NULL AND A.DATUM_IZP_DIV>=:DatumOd AND A.DATUM_IZP_DIV<=:DatumDo ORDER BY "
        "A.SFVP, A.NAZIV");
    q.DeclareAndSet(QStringLiteral("DatumOd"), VarType::Date, ctx_.datumOd);
    q.DeclareAndSet(QStringLiteral("DatumDo"), VarType::Date, ctx_.datumDo);
    q.Execute();
    if (q.RowCount() > 0)
        throw DbError(
            QStringLiteral("Bruto znesek izplačila ni izračunan (manjka kupon): VP %1, datum %2, %3!")
                .arg(q.FieldAsString(0), q.FieldAsDate(1).toString(QStringLiteral("dd.MM.yyyy")),
                     q.FieldAsString(2)));

    // A row paid on or after the day from which both kinds of coupon have a
    // rate (worked out once) has one; only an earlier row is looked up.
    Query r;
    r.SetSession(ctx_.session);
    r.SQL << QStringLiteral(
        "SELECT A.SFVP, A.SFKPN, A.DATUM_IZP_DIV FROM REK2_ANAL A LEFT OUTER JOIN KPN K ON "
        "K.SFKPN=A.SFKPN WHERE A.ID_REK2_ZBIR=0 AND ((A.DATUM_IZP_DIV>=:DatumOd AND "
        "A.DATUM_IZP_DIV<=:DatumDo) OR (A.DATUM_PLC_DVK>=:DatumOd AND A.DATUM_PLC_DVK<=:DatumDo)) "
        "AND K.SFKPN IS NOT NULL AND (CASE WHEN A.DATUM_IZP_DIV>=(SELECT CASE WHEN COUNT(*)=2 THEN "
        "MAX(F.PRVI) END FROM (SELECT MIN(S.DAN) AS PRVI FROM DVK_STP S WHERE S.SFDRZ='S' AND S.TIP IN "
        "('D', 'O') GROUP BY S.TIP) F) THEN 0 ELSE 1 END)=1 AND NOT EXISTS(SELECT 1 FROM DVK_STP S WHERE "
        "S.SFDRZ='S' AND S.TIP=(CASE WHEN K.SFOBR IN ('D', 'O') THEN K.SFOBR ELSE 'D' END) AND "
        "S.DAN<=A.DATUM_IZP_DIV) ORDER BY A.DATUM_IZP_DIV, A.SFVP, A.SFKPN");
    r.DeclareAndSet(QStringLiteral("DatumOd"), VarType::Date, ctx_.datumOd);
    r.DeclareAndSet(QStringLiteral("DatumDo"), VarType::Date, ctx_.datumDo);
    r.Execute();
    if (r.RowCount() > 0)
        throw DbError(QStringLiteral("Ni davčne stopnje (DVK_STP) za VP %1, kupon %2 na dan %3!")
                          .arg(r.FieldAsString(0), r.FieldAsString(1),
                               r.FieldAsDate(2).toString(QStringLiteral("dd.MM.yyyy"))));
}

bool CollectionRun::duplicatesAccepted(Regrouping& regroup)
{
    const std::vector<RepeatedTaxNumber> repeated = regroup.repeatedTaxNumbers();
    if (repeated.empty())
        return true;
    QString message = QStringLiteral("Podvojene davčne številke:") + QLatin1Char('\n');
    for (const RepeatedTaxNumber& r : repeated)
        message +=
            QLatin1Char('\n') + r.dvs + QStringLiteral(" (") + QString::number(r.count) + QStringLiteral(")");
    return ctx_.op && ctx_.op->AbortIgnore(message);
}

void CollectionRun::linkEvents()
{
    const Settings& s = ctx_.settings;
    Transaction tx(*ctx_.session);
    Query upd(QStringLiteral("qREK2_DOGUpd"));
    upd.SetSession(ctx_.session);
    upd.SQL = linkUpdateSql(s, ids_).split(QLatin1Char('\n'));
    upd.SetEngineSQL(sqlite::kEngine, sqlite::linkUpdate(s, ids_).split(QLatin1Char('\n')));
    upd.SetEngineSQL(postgres::kEngine, postgres::linkUpdate(s, ids_).split(QLatin1Char('\n')));
    log(QStringLiteral("4.SQL:"));
    ctx_.DebugMessage(upd.SQL.join(QLatin1Char('\n')));

    // Oracle refuses a link that matches more than one analytic row; the
    // hand-written texts would quietly take one. They mark such links instead
    // (the matching is worked out once), and the step fails and rolls back
    // when it finds one.
    upd.Execute();
    // The links now point at their rows: the grid looks links up by row.
    ctx_.session->dialect().tableChanged(*ctx_.session, QStringLiteral("REK2_DOG"));
    int count = upd.RowsProcessed();
    Query check;
    check.SetSession(ctx_.session);
    check.SQL = QStringList{sqlite::linkAmbiguity()};
    check.Execute();
    if (check.RowCount() > 0)
        throw DbError(QStringLiteral("Dogodek %1 ustreza več analitičnim vrsticam, povezave ni mogoče "
                                     "določiti (single-row subquery returns more than one row).")
                          .arg(check.FieldAsString(0)));
    Query unmatched;
    unmatched.SetSession(ctx_.session);
    unmatched.SQL = QStringList{sqlite::linksLeftUnmatched()};
    unmatched.Execute();
    count += unmatched.FieldAsInteger(0);
    unmatched.SQL = QStringList{sqlite::linkUpdateUnmatched()};
    unmatched.Execute();
    count += unmatched.RowsProcessed();
    log(QStringLiteral("4. UPDATE REK2_DOG (count=") + QString::number(count) + QStringLiteral(")"));
    tx.commit();
}

CollectionRun::Outcome CollectionRun::bNaborClick()
{
    const Settings& s = ctx_.settings;
    // Two workstations collecting at once take turns, the whole run each:
    // the guards against a second link, row or summary only see what the
    // other has committed.
    WorkLock work(ctx_.session, kCollectionWork);
    log(QStringLiteral("START"));
    log(QStringLiteral("FHasBrutoDiv") + flag(s.FHasBrutoDiv));
    log(QStringLiteral("FREK_5700_neRez") + flag(s.FREK_5700_neRez));
    log(QStringLiteral("T2S") + flag(s.T2S));

    std::optional<BusyGuard> busy;
    if (ctx_.op)
        busy.emplace(*ctx_.op, QStringLiteral("Nabor podatkov...."));
    // The clean-up, the events and rows, the re-grouping, the links, the
    // grids: a large day's collection shows how far it has come.
    StepProgress progress(ctx_.op, 5);

    ctx_.odsREK2_Zbir.Close();
    if (hooks_.grid.attachSummaryGrid)
        hooks_.grid.attachSummaryGrid(false);

    checkEventCodes();
    cleanUp();
    progress.reached(1);
    selectEventsAndRows();
    progress.reached(2);

    DataSet& source = ctx_.odsNaborREK2;
    Regrouping::openSource(ctx_, source);
    logCount(QStringLiteral("3. SELECT FROM REK2_ANAL"), source.RecordCount(),
             source.SQL.join(QLatin1Char('\n')));

    if (!source.IsEmpty()) {
        Regrouping regroup(ctx_, hooks_.grid);
        regroup.setReloadAnalyticGrid(false); // step 6 below loads it
        ids_ = regroup.NafilajZbirni(source);
        // Read once, and opened anew by whatever re-groups next: its rows
        // need not stay in memory while the grids load.
        source.Close();
        // Every row of the period has a new summary: the link update (and the
        // duplicate check of a correction record kept) look rows up by these
        // summaries.
        ctx_.session->dialect().tableChanged(*ctx_.session, QStringLiteral("REK2_ANAL"));

        progress.reached(3);
        if (!duplicatesAccepted(regroup))
            return Outcome::Aborted;

        linkEvents();
        progress.reached(4);

        if (hooks_.grid.attachSummaryGrid)
            hooks_.grid.attachSummaryGrid(true);
        openSummarySelection(ctx_.odsREK2_Zbir, ids_);
        log(QStringLiteral("5. SELECT FROM REK2_ZBIR (count=") +
            QString::number(ctx_.odsREK2_Zbir.RecordCount()) + QStringLiteral(")"));

        openAnalyticWorking(ctx_.odsNabor, ctx_.datumOd, ctx_.datumDo);
        log(QStringLiteral("6. SELECT FROM REK2_DOG (count=") + QString::number(ctx_.odsNabor.RecordCount()) +
            QStringLiteral(")"));
    }

    if (ctx_.odsREK2_Zbir.Active() && !ctx_.odsREK2_Zbir.IsEmpty()) {
        ctx_.odsREK2_Zbir.First();
        if (hooks_.dbgZbirniCellClick)
            hooks_.dbgZbirniCellClick();
    }

    progress.reached(5);
    busy.reset();
    log(QStringLiteral("END"));
    return Outcome::Finished;
}

} // namespace rek2::collect
