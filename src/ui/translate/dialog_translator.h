#pragma once

namespace rek2 {

// Gives every dialog derived from the grid services' dialog base
// (TTranslatable) its text translator. Called once, before the first dialog
// is made; the main window and the record editor do not derive from it and
// keep their own texts.
void installDialogTranslator();

} // namespace rek2
