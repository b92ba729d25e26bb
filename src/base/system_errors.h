#pragma once
#include <QString>

namespace rek2 {

// The system's reason why a file could not be opened, read or written (the
// text Qt's file classes give, which is the system's own), in Slovenian
// where it is a common one, with the system's words in parentheses behind
// it for whoever looks further; any other reason as it stands.
QString fileErrorReason(const QString& systemText);

} // namespace rek2
