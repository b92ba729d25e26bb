#pragma once
#include <QString>

namespace rek2 {

class TfRek;

// Saves a PNG of each of the four tabs, first at the design size (774 x 639)
// and then maximised, into `folder`; used by scripts/screenshots under Xvfb.
// It collects yesterday's events and writes their returns, so it must run on
// a copy of the demo database. Dialogs are answered with consent and written
// to standard error instead of waiting for a person. Returns the number of
// files written.
int takeScreenshots(TfRek& window, const QString& folder);

} // namespace rek2
