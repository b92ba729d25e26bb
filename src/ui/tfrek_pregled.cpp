// Review tab: the tree and grids of written returns, document numbers,
// cancellations and corrections.
#include "ui/tfrek.h"

namespace rek2 {

void TfRek::SpeedButton1Click() {}
void TfRek::tvPregledClick() {}
void TfRek::dbgPregledCellClick(int /*column*/) {}
void TfRek::dbgPregledDblClick() {}
void TfRek::dbgPregledDrawColumnCell(int /*row*/, int /*column*/, QStyleOptionViewItem& /*option*/) {}
void TfRek::dbgPredgledADblClick() {}

} // namespace rek2
