// "Import iz XLS" on the collection tab and the import column mapping on the
// right panel of the parameters tab.
#include "ui/tfrek.h"

namespace rek2 {

void TfRek::bImportClick() {}
void TfRek::fillXLSParams() {}
void TfRek::bShraniXLSParamsClick() {}

} // namespace rek2
