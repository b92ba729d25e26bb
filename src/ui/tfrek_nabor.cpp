// Collection tab: "Prenos iz DOG", the "?" button, the editor's tool buttons
// and the two grids' handlers.
#include "collect/collection_run.h"
#include "collect/summary_fields.h"
#include "edit/nabor_actions.h"
#include "returns/working_fields.h"
#include "review/pregled.h"
#include "ui/editor/dialog_record_editor.h"
#include "ui/grid/tfwwdbgrid.h"
#include "ui/tfrek.h"

#include <QTabWidget>
#include <QToolButton>

namespace rek2 {

namespace {

// The editing actions of the tab run on the window's state; the record
// editor is the real dialog, owned by the window while it is shown.
template <typename Action> void runNabor(TfRek& w, Action action)
{
    DialogRecordEditor editor(w, &w);
    NaborHooks hooks;
    hooks.attachSummaryGrid = [&w](bool attached) {
        w.dbgZbirni->setDataSet(attached ? &w.ctx.odsREK2_Zbir : nullptr);
    };
    hooks.enableDeleteSummary = [&w](bool enabled) { w.SpeedButton6->setEnabled(enabled); };
    NaborActions actions(w.ctx, editor, hooks);
    action(actions);
}

} // namespace

void TfRek::afterLogOn()
{
    // Captions, formats and the hidden rate of the analytic grid; the summary
    // view's columns with its computed ones (coupon number, payer).
    defineAnalyticFields(ctx.odsNabor);
    collect::installSummaryCalcFields(ctx, ctx.odsREK2_Zbir);
    // The review tab's two views (tfrek_pregled.cpp).
    review::PregledActions::prepare(ctx);
}
void TfRek::SpeedButton2Click()
{
    runNabor(*this, [](NaborActions& a) { a.SpeedButton2Click(); });
}
void TfRek::bNaborClick()
{
    guarded([this] {
        collect::RunHooks hooks;
        hooks.grid.attachSummaryGrid = [this](bool attached) {
            dbgZbirni->setDataSet(attached ? &ctx.odsREK2_Zbir : nullptr);
        };
        hooks.showParametersTab = [this] { PageControl1->setCurrentIndex(3); };
        hooks.dbgZbirniCellClick = [this] { dbgZbirniCellClick(0); };
        collect::CollectionRun(ctx, hooks).bNaborClick();
    });
}
void TfRek::SpeedButton3Click()
{
    runNabor(*this, [](NaborActions& a) { a.SpeedButton3Click(); });
}
void TfRek::SpeedButton4Click()
{
    runNabor(*this, [](NaborActions& a) { a.SpeedButton4Click(); });
}
void TfRek::SpeedButton5Click()
{
    runNabor(*this, [](NaborActions& a) { a.SpeedButton5Click(); });
}
void TfRek::SpeedButton6Click()
{
    runNabor(*this, [](NaborActions& a) { a.SpeedButton6Click(); });
}
void TfRek::dbgZbirniCellClick(int /*column*/)
{
    const bool focus = dbgZbirni->hasFocus();
    runNabor(*this, [focus](NaborActions& a) { a.dbgZbirniCellClick(focus); });
}
void TfRek::dbgZbirniDblClick()
{
    runNabor(*this, [](NaborActions& a) { a.dbgZbirniDblClick(); });
}
void TfRek::dbgZbirniExit()
{
    const bool focus = dbgZbirni->hasFocus();
    runNabor(*this, [focus](NaborActions& a) { a.dbgZbirniExit(focus); });
}
void TfRek::dbgZbirniDrawColumnCell(int /*row*/, int /*column*/, QStyleOptionViewItem& option)
{
    NaborDrawing::drawColumnCell(dbgZbirni->hasFocus(), option);
}
void TfRek::dbgNaborDblClick()
{
    runNabor(*this, [](NaborActions& a) { a.dbgNaborDblClick(); });
}
void TfRek::dbgNaborDrawColumnCell(int /*row*/, int /*column*/, QStyleOptionViewItem& option)
{
    NaborDrawing::drawColumnCell(dbgNabor->hasFocus(), option);
}

} // namespace rek2
