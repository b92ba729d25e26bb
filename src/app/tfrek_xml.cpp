// "XML" on the collection tab: writing the returns of the chosen summaries.
#include "app/tfrek.h"

namespace rek2 {

void TfRek::bXMLClick() {}

} // namespace rek2
