// Report files tab: the lists of unsent and sent XML files.
#include "app/tfrek.h"

namespace rek2 {

void TfRek::bRefreshNeposlanaClick() {}
void TfRek::bRefreshPoslanaClick() {}
void TfRek::bSendClick() {}

} // namespace rek2
