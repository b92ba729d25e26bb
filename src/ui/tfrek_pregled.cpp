// Review tab: the tree and grids of written returns, document numbers,
// cancellations and corrections. The handlers forward to review::PregledActions.
#include "review/history_actions.h"
#include "review/pregled.h"
#include "ui/editor/dialog_record_editor.h"
#include "ui/grid/tfwwdbgrid.h"
#include "ui/tfrek.h"

#include <QDateEdit>
#include <QSignalBlocker>
#include <QStyleOptionViewItem>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>

namespace rek2 {

namespace {

template <typename Action> void runPregled(TfRek& w, Action action)
{
    DialogRecordEditor editor(w, &w);
    review::PregledHooks hooks;
    hooks.attachGrids = [&w](bool attached) {
        w.dbgPregled->setDataSet(attached ? &w.ctx.odsPregled : nullptr);
        w.dbgPredgledA->setDataSet(attached ? &w.ctx.odsPregledA : nullptr);
    };
    hooks.showTree = [&w](const std::vector<review::PregledNode>& nodes) {
        QTreeWidget* tv = w.tvPregled;
        tv->clear();
        auto* root = new QTreeWidgetItem(tv, QStringList{QStringLiteral("REK2")});
        std::vector<QTreeWidgetItem*> items;
        items.reserve(nodes.size());
        for (const review::PregledNode& n : nodes) {
            QTreeWidgetItem* parent = n.parent >= 0 ? items[size_t(n.parent)] : root;
            auto* item = new QTreeWidgetItem(parent, QStringList{n.text});
            if (n.bold) {
                QFont f = item->font(0);
                f.setBold(true);
                item->setFont(0, f);
            }
            items.push_back(item);
        }
        tv->expandAll();
        tv->setCurrentItem(root);
    };
    hooks.showNabor = [&w](const QDate& od, const QDate& to) {
        w.PageControl1->setCurrentIndex(0);
        w.SpeedButton2->setEnabled(false);
        w.ProcessEvents();
        // Set as the copy dictates, not as a change of "Datum od" by hand
        // (which would couple the pickers and enable "?").
        const QSignalBlocker blockOd(w.dtpDatumOd);
        const QSignalBlocker blockDo(w.dtpDatumDo);
        w.dtpDatumOd->setDate(od);
        w.dtpDatumDo->setDate(to);
    };
    hooks.naborLoaded = [&w] { w.ProcessEvents(); };
    hooks.copied = [&w](const review::KopirajResult& result) {
        const QStringList lines = review::describeCopy(result);
        if (!lines.isEmpty())
            w.Information(lines.join(QLatin1Char('\n')));
    };
    review::PregledActions actions(w.ctx, editor, hooks);
    action(actions);
}

} // namespace

void TfRek::SpeedButton1Click()
{
    runPregled(*this, [](review::PregledActions& a) { a.SpeedButton1Click(); });
}
void TfRek::tvPregledClick()
{
    const QTreeWidgetItem* item = tvPregled->currentItem();
    if (!item)
        return;
    const QString text = item->text(0);
    runPregled(*this, [&text](review::PregledActions& a) { a.tvPregledClick(text); });
}
void TfRek::dbgPregledCellClick(int /*column*/)
{
    runPregled(*this, [](review::PregledActions& a) { a.dbgPregledCellClick(); });
}
void TfRek::dbgPregledDblClick()
{
    runPregled(*this, [](review::PregledActions& a) { a.dbgPregledDblClick(); });
}
void TfRek::dbgPregledDrawColumnCell(int row, int /*column*/, QStyleOptionViewItem& option)
{
    // Superseded returns in normal type, every other row bold.
    const bool superseded =
        row >= 0 && size_t(row) < ctx.pregledSuperseded.size() && ctx.pregledSuperseded[size_t(row)];
    option.font.setBold(!superseded);
}
void TfRek::dbgPredgledADblClick()
{
    runPregled(*this, [](review::PregledActions& a) { a.dbgPredgledADblClick(); });
}

} // namespace rek2
