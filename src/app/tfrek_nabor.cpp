// Collection tab: "Prenos iz DOG", the "?" button, the editor's tool buttons
// and the two grids' handlers.
#include "app/tfrek.h"

namespace rek2 {

void TfRek::afterLogOn() {}
void TfRek::SpeedButton2Click() {}
void TfRek::bNaborClick() {}
void TfRek::SpeedButton3Click() {}
void TfRek::SpeedButton4Click() {}
void TfRek::SpeedButton5Click() {}
void TfRek::SpeedButton6Click() {}
void TfRek::dbgZbirniCellClick(int /*column*/) {}
void TfRek::dbgZbirniDblClick() {}
void TfRek::dbgZbirniExit() {}
void TfRek::dbgZbirniDrawColumnCell(int /*row*/, int /*column*/, QStyleOptionViewItem& /*option*/) {}
void TfRek::dbgNaborDblClick() {}
void TfRek::dbgNaborDrawColumnCell(int /*row*/, int /*column*/, QStyleOptionViewItem& /*option*/) {}

} // namespace rek2
