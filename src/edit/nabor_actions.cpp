#include "edit/nabor_actions.h"

#include "base/operator.h"
#include "collect/regroup.h"
#include "collect/statements.h"
#include "db/dataset.h"
#include "db/query.h"
#include "db/session.h"
#include "db/transaction.h"
#include "edit/nabor_rules.h"
#include "returns/context.h"
#include "returns/working_statements.h"

#include <optional>

namespace rek2 {
namespace {

QString shortDate(const QDate& d)
{
    return d.toString(QStringLiteral("dd.MM.yyyy"));
}

// Stops a grid from following its dataset while an action walks or deletes
// its rows; the grid follows again on every way out.
class ControlsOff
{
public:
    explicit ControlsOff(DataSet& ds) : ds_(ds) { ds_.DisableControls(); }
    ~ControlsOff() { ds_.EnableControls(); }
    ControlsOff(const ControlsOff&) = delete;
    ControlsOff& operator=(const ControlsOff&) = delete;

private:
    DataSet& ds_;
};

bool hasCurrentRow(const DataSet& ds)
{
    return ds.Active() && !ds.IsEmpty();
}

} // namespace

NaborActions::NaborActions(RekContext& ctx, RecordEditor& editor, NaborHooks hooks)
    : ctx_(ctx), editor_(editor), hooks_(std::move(hooks))
{
}

QString NaborActions::summaryEditableFields()
{
    return QStringLiteral("NAZIV,NASLOV,POOB_DVS,DAV_ZNZ_STP,SKUPAJ");
}

QString NaborActions::analyticEditableFields()
{
    return QStringLiteral(
        "DVS,IDENT_ST,IME,PRIIMEK,REZ,DRZ,UGO_MED_POG,SIF_SFDOH,BRUTO,DAV_ODT_OBR,DAV_ODT_PLC,"
        "DAV_ODT_ODB_TUJ,SIF_VRSTE_DOH,DATUM_IZP_DIV,DATUM_PLC_DVK");
}

void NaborActions::log(const QString& text)
{
    ctx_.DebugMessage(text);
}

bool NaborActions::currentSummaryFree() const
{
    const DataSet& z = ctx_.odsREK2_Zbir;
    if (!hasCurrentRow(z))
        return false;
    return isFreeSummary(z.FieldByName(QStringLiteral("DURS_ID_DOK"))->AsString(),
                         z.FieldByName(QStringLiteral("CORRECTIONFORDOCUMENT"))->AsString(),
                         z.FieldByName(QStringLiteral("CORRECTIONFORANALITICALDATA"))->AsString());
}

void NaborActions::reloadAnalytic(const QString& logPrefix, bool alwaysLimit)
{
    std::optional<int> idZbir;
    if (hasCurrentRow(ctx_.odsREK2_Zbir)) {
        const TField* id = ctx_.odsREK2_Zbir.FieldByName(QStringLiteral("ID_REK2_ZBIR"));
        if (!id->IsNull() && (alwaysLimit || id->AsInteger() != 0))
            idZbir = id->AsInteger();
    }
    ctx_.odsNabor.Close();
    if (!logPrefix.isEmpty())
        log(logPrefix + analyticWorkingStatement(idZbir).join(QLatin1Char('\n')));
    openAnalyticWorking(ctx_.odsNabor, ctx_.datumOd, ctx_.datumDo, idZbir);
}

QString NaborActions::regroupRange()
{
    collect::Regrouping regroup(ctx_, {hooks_.attachSummaryGrid});
    return regroup.NafilajZbirni(ctx_.odsNaborREK2);
}

// ------------------------------------------------------------------- Show

void NaborActions::SpeedButton2Click()
{
    const QString who = QStringLiteral("TfRek.SpeedButton2Click: ");
    log(who + QStringLiteral("Nabor začetek od:") + shortDate(ctx_.datumOd) + QStringLiteral(" do:") +
        shortDate(ctx_.datumDo));
    // Another workstation's collection or re-grouping finishes first.
    WorkLock work(ctx_.session, collect::kCollectionWork);
    collect::Regrouping::openSource(ctx_, ctx_.odsNaborREK2);
    if (ctx_.odsNaborREK2.IsEmpty()) {
        ctx_.odsREK2_Zbir.Close();
        ctx_.odsNabor.Close();
        return;
    }
    log(who + QStringLiteral("Nafilaj zbirni"));
    const QString ids = regroupRange();
    log(who + QStringLiteral("Zbirni ") + ids + QStringLiteral(" nafilan!"));
    if (ids.isEmpty()) {
        ctx_.odsREK2_Zbir.Close();
        ctx_.odsNabor.Close();
        return;
    }
    if (hooks_.attachSummaryGrid)
        hooks_.attachSummaryGrid(true);
    ctx_.odsREK2_Zbir.Close();
    log(who + QStringLiteral("Zbirni:") + summarySelectionStatement(ids).join(QLatin1Char('\n')));
    openSummarySelection(ctx_.odsREK2_Zbir, ids);
    log(who + QStringLiteral("Prikaz zbirnog!"));
    if (ctx_.op)
        ctx_.op->ProcessEvents();
    reloadAnalytic(who + QStringLiteral("Analitika:"));
    log(who + QStringLiteral("Prikaz analitike!"));
}

// ---------------------------------------------------------------- New row

void NaborActions::SpeedButton3Click()
{
    QString security;
    int coupon = 0;
    if (ctx_.odsNabor.Active()) {
        if (!ctx_.odsNabor.IsEmpty()) {
            security = ctx_.odsNabor.FieldByName(QStringLiteral("SFVP"))->AsString();
            coupon = ctx_.odsNabor.FieldByName(QStringLiteral("SfKpn"))->AsInteger();
        }
    } else {
        openAnalyticWorking(ctx_.odsNabor, ctx_.datumOd, ctx_.datumDo);
    }
    ctx_.odsNabor.Insert();
    try {
        editor_.edit(ctx_.odsNabor, QString(), QDateTime(ctx_.datumOd, QTime(0, 0)), coupon, security, false,
                     QString());
    } catch (...) {
        // The editor could not even be prepared: drop the half-made row.
        if (ctx_.odsNabor.State() == DataSetState::Insert)
            ctx_.odsNabor.Cancel();
        if (ctx_.session && ctx_.session->InTransaction())
            ctx_.session->Rollback();
        throw;
    }
    SpeedButton2Click();
}

// ------------------------------------------------------------- Delete row

void NaborActions::SpeedButton4Click()
{
    DataSet& nabor = ctx_.odsNabor;
    // With no row there is nothing to delete (and nothing to ask about).
    if (!hasCurrentRow(nabor))
        return;
    if (!ctx_.op || ctx_.op->Opozorilo(deleteAnalyticQuestion(), okCaption(), cancelCaption()) != 1)
        return;

    const int idAnal = nabor.FieldByName(QStringLiteral("ID_REK2_ANAL"))->AsInteger();
    Session& session = *ctx_.session;
    if (session.InTransaction())
        session.Rollback();
    {
        Transaction tx(session);
        // Links that already went into an XML file stay: they record that
        // the event was reported, so collection never reports it again.
        Query links;
        links.SetSession(&session);
        links.SQL = QStringList{QStringLiteral("DELETE FROM REK2_DOG"),
                                QStringLiteral("WHERE ID_REK2_ANAL = :ID_REK2_ANAL AND XML_FILE IS NULL")};
        links.DeclareAndSet(QStringLiteral("ID_REK2_ANAL"), VarType::Integer, idAnal);
        links.Execute();
        // Deleting the row commits the transaction, links included.
        nabor.Delete();
        if (session.InTransaction())
            tx.commit();
    }

    WorkLock work(ctx_.session, collect::kCollectionWork);
    collect::Regrouping::openSource(ctx_, ctx_.odsNaborREK2);
    if (!ctx_.odsNaborREK2.IsEmpty()) {
        const QString ids = regroupRange();
        if (nabor.Active()) {
            nabor.First();
            while (nabor.ControlsDisabled())
                nabor.EnableControls();
        }
        if (hooks_.attachSummaryGrid)
            hooks_.attachSummaryGrid(true);
        openSummarySelection(ctx_.odsREK2_Zbir, ids);
    } else if (ctx_.odsREK2_Zbir.Active()) {
        // The range has no rows left: its rebuilt summaries go too, the
        // cancellations and corrections stay.
        collect::Regrouping(ctx_, {hooks_.attachSummaryGrid}).deleteRebuiltSummaries();
    }
    reloadAnalytic(QStringLiteral("TfRek.SpeedButton4Click: po brisanju analitike:"));
}

// ------------------------------------------------------------------ Reload

void NaborActions::SpeedButton5Click()
{
    reloadAnalytic(QStringLiteral("TfRek.SpeedButton5Click: Refresh analitike:"));
}

// --------------------------------------------------------- Delete summary

void NaborActions::SpeedButton6Click()
{
    DataSet& zbir = ctx_.odsREK2_Zbir;
    if (!hasCurrentRow(zbir) || !ctx_.op)
        return;
    const QString question = deleteSummaryQuestion(
        zbir.FieldByName(QStringLiteral("DATUM_IZP"))->AsDate(),
        zbir.FieldByName(QStringLiteral("SFVP"))->AsString(),
        zbir.FindField(QStringLiteral("STKPN")) ? zbir.FieldByName(QStringLiteral("STKPN"))->AsInteger() : 0);
    if (ctx_.op->Opozorilo(question, okCaption(), cancelCaption()) != 1)
        return;

    const QString who = QStringLiteral("TfRek.SpeedButton6Click: ");
    bool deleted = false;
    {
        ControlsOff off(zbir);
        if (!currentSummaryFree())
            return;
        try {
            Transaction tx(*ctx_.session);
            const int id = zbir.FieldByName(QStringLiteral("ID_REK2_ZBIR"))->AsInteger();
            const QString idText = QString::number(id);
            log(who + QStringLiteral("Brisanje zbirne ID:") + idText);
            Query qHST;
            qHST.SetSession(ctx_.session);
            qHST.DeclareAndSet(QStringLiteral("ID_REK2_ZBIR"), VarType::Integer, id);
            // Links already reported in an XML file stay, as when a single
            // row is deleted.
            qHST.SQL =
                QStringList{QStringLiteral(" DELETE FROM REK2_DOG WHERE XML_FILE IS NULL AND ID_REK2_ANAL IN "
                                           "(SELECT ID_REK2_ANAL FROM REK2_ANAL WHERE ID_REK2_ZBIR = "
                                           ":ID_REK2_ZBIR ) ")};
            qHST.Execute();
            log(who + QStringLiteral("Zbrisano iz REK2_DOG:") + QString::number(qHST.RowsProcessed()));
            qHST.Close();
            qHST.SQL =
                QStringList{QStringLiteral(" DELETE FROM REK2_ANAL WHERE ID_REK2_ZBIR = :ID_REK2_ZBIR ")};
            qHST.Execute();
            log(who + QStringLiteral("Zbrisano analitike:") + QString::number(qHST.RowsProcessed()));
            zbir.Delete();
            log(who + QStringLiteral("Zbrisana zbirna ID:") + idText);
            if (ctx_.session->InTransaction())
                tx.commit();
            deleted = true;
        } catch (...) {
            ctx_.op->ShowMsgDlg(false, QString());
            throw;
        }
    }
    if (deleted)
        SpeedButton2Click();
    ctx_.op->ProcessEvents();
}

// ------------------------------------------------------------ Grid events

void NaborActions::dbgZbirniCellClick(bool gridHasFocus)
{
    if (hooks_.enableDeleteSummary)
        hooks_.enableDeleteSummary(gridHasFocus && currentSummaryFree());
    if (!hasCurrentRow(ctx_.odsREK2_Zbir) ||
        ctx_.odsREK2_Zbir.FieldByName(QStringLiteral("ID_REK2_ZBIR"))->IsNull())
        return;
    reloadAnalytic(QString(), true);
}

void NaborActions::dbgZbirniExit(bool gridHasFocus)
{
    if (hooks_.enableDeleteSummary)
        hooks_.enableDeleteSummary(gridHasFocus && currentSummaryFree());
}

void NaborActions::dbgZbirniDblClick()
{
    DataSet& zbir = ctx_.odsREK2_Zbir;
    if (!hasCurrentRow(zbir))
        return;
    if (zbir.FieldByName(QStringLiteral("CORRECTIONTYPE"))->AsString() != QLatin1String("S"))
        editor_.edit(zbir, summaryEditableFields(), QDateTime(), 0, QString(), false,
                     QStringLiteral("OSB(NAZIV,NASLOV,POOB_DVS)"));
    zbir.Close();
    zbir.Open();
}

void NaborActions::dbgNaborDblClick()
{
    DataSet& nabor = ctx_.odsNabor;
    DataSet& zbir = ctx_.odsREK2_Zbir;
    if (!hasCurrentRow(nabor) || !zbir.Active())
        return;
    const QVariant idZbir = nabor.FieldByName(QStringLiteral("ID_REK2_ZBIR"))->AsVariant();
    if (!zbir.Locate(QStringLiteral("ID_REK2_ZBIR"), {idZbir}))
        return;
    if (zbir.FieldByName(QStringLiteral("CORRECTIONTYPE"))->AsString() == QLatin1String("S"))
        return;

    const QVariant idAnal = nabor.FieldByName(QStringLiteral("ID_REK2_ANAL"))->AsVariant();
    const int result =
        editor_.edit(nabor, analyticEditableFields(), QDateTime(), 0, QString(), false, QString());
    if (result == RecordEditor::mrOk) {
        WorkLock work(ctx_.session, collect::kCollectionWork);
        collect::Regrouping::openSource(ctx_, ctx_.odsNaborREK2);
        const QString ids = regroupRange();
        // Re-grouping rebuilt the summaries: show the new ones, on the one
        // that now holds the edited row, rather than an empty summary grid.
        if (hooks_.attachSummaryGrid)
            hooks_.attachSummaryGrid(true);
        if (openSummarySelection(zbir, ids)) {
            Query owner;
            owner.SetSession(ctx_.session);
            owner.SQL =
                QStringList{QStringLiteral("SELECT ID_REK2_ZBIR FROM REK2_ANAL WHERE ID_REK2_ANAL = :ID")};
            owner.DeclareAndSet(QStringLiteral("ID"), VarType::Integer, idAnal);
            owner.Execute();
            if (owner.RowCount() > 0)
                zbir.Locate(QStringLiteral("ID_REK2_ZBIR"), {owner.Field(0)});
        }
    }
    reloadAnalytic(QString());
    if (nabor.Active())
        nabor.Locate(QStringLiteral("ID_REK2_ANAL"), {idAnal});
}

} // namespace rek2
