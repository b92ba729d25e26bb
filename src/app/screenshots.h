#pragma once
#include <QString>

namespace rek2 {

class TfRek;

// Saves a PNG of each of the four tabs, first at the design size (774 x 639)
// and then maximised, into `folder`; used by scripts/screenshots under Xvfb.
// Dialogs are answered with their cautious button and written to standard
// error instead of waiting for a person. Returns the number of files written.
int takeScreenshots(TfRek& window, const QString& folder);

} // namespace rek2
