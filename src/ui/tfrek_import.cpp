// "Import iz XLS" on the collection tab and the import column mapping on the
// right panel of the parameters tab.
#include "base/paths.h"
#include "db/session.h"
#include "import/import_mapping.h"
#include "import/mapping_editor.h"
#include "import/sheet_import.h"
#include "ui/grid/tfwwdbgrid.h"
#include "ui/tfrek.h"

#include <QDesktopServices>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>

namespace rek2 {

namespace {

// The mapping's edit fields and the dataset behind them; the panel owns
// them, so the window's declaration stays as it is.
class XlsParamsPanel : public QObject
{
public:
    explicit XlsParamsPanel(TfRek& w) : QObject(w.pXLSParams), w_(w)
    {
        setObjectName(QStringLiteral("xlsParamsPanel"));
        auto* form = new QFormLayout(w.pXLSParams);
        auto* title = new QLabel(QStringLiteral("Import iz XLS: stolpci preglednice"), w.pXLSParams);
        QFont bold = title->font();
        bold.setBold(true);
        title->setFont(bold);
        form->addRow(title);
        for (const importxls::MappingColumn& c : importxls::mappingColumns()) {
            auto* edit = new QLineEdit(w.pXLSParams);
            edit->setObjectName(QStringLiteral("e") + c.column);
            const bool start = c.column == QLatin1String("START_PODATKOV");
            edit->setMaxLength(start ? 7 : 2);
            edit->setMaximumWidth(start ? 80 : 50);
            form->addRow(c.caption, edit);
            edits.emplace_back(c.column, edit);
            const QString column = c.column;
            connect(edit, &QLineEdit::textEdited, this, [this, column](const QString& text) {
                w_.guarded([&] { editor.setValue(column, text); });
            });
        }
    }

    void show()
    {
        for (auto& [column, edit] : edits)
            edit->setText(editor.value(column));
    }

    importxls::MappingEditor editor;
    std::vector<std::pair<QString, QLineEdit*>> edits;

private:
    TfRek& w_;
};

XlsParamsPanel& xlsParams(TfRek& w)
{
    auto* panel = w.pXLSParams->findChild<XlsParamsPanel*>(QStringLiteral("xlsParamsPanel"),
                                                           Qt::FindDirectChildrenOnly);
    return panel ? *panel : *new XlsParamsPanel(w);
}

} // namespace

void TfRek::bImportClick()
{
    importxls::SheetImport::Hooks hooks;
    hooks.grid.attachSummaryGrid = [this](bool attached) {
        dbgZbirni->setDataSet(attached ? &ctx.odsREK2_Zbir : nullptr);
    };
    // The findings open in the desktop's text viewer; without one nothing
    // else happens (the file is written all the same).
    hooks.showLog = [](const QString& path) { QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };
    importxls::SheetImport import(ctx, installationFolder(), hooks);
    import.bImportClick();
}

void TfRek::fillXLSParams()
{
    XlsParamsPanel& panel = xlsParams(*this);
    if (OracleSession1 && OracleSession1->Connected())
        panel.editor.open(OracleSession1.get());
    panel.show();
}

void TfRek::bShraniXLSParamsClick()
{
    XlsParamsPanel& panel = xlsParams(*this);
    QString message;
    if (!panel.editor.save(message)) {
        Napaka(message, QStringLiteral("V redu"));
        return;
    }
    panel.show(); // letters as saved (upper case)
}

} // namespace rek2
