#pragma once
#include <QString>

namespace rek2 {

// The computer's name, at most 20 characters (it is archived in a column of
// that width); empty when the system does not know it. Never fails.
QString WorkstationName();

// The operating-system user name in upper case, at most 20 characters (the
// archive column's width; a longer name is cut rather than failing the
// archive write). Empty when the system does not know it. Never fails.
QString LoginUserName();

} // namespace rek2
