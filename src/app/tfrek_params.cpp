#include "app/tfrek.h"

#include <QLabel>
#include <QLineEdit>

namespace rek2 {

void TfRek::fillParams()
{
    fillXLSParams();
}

void TfRek::bShraniIniClick() {}

} // namespace rek2
