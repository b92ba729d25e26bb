// "XML" on the collection tab: writing the returns of the chosen summaries.
#include "ui/tfrek.h"
#include "xmlreturn/xml_return_run.h"

#include <QTabWidget>

namespace rek2 {

void TfRek::bXMLClick()
{
    syncContext();
    XmlReturnRun run(ctx);
    const auto showReports = [this] {
        // Tab 1 lists the new files; its change handler reloads both lists.
        if (PageControl1->currentIndex() != 1)
            PageControl1->setCurrentIndex(1);
        else
            PageControl1Change(1);
    };
    try {
        run.run();
    } catch (...) {
        // Returns written before the error are in the folder and in history.
        if (run.result().wroteAny())
            showReports();
        throw;
    }
    if (run.result().wroteAny())
        showReports();
}

} // namespace rek2
