#pragma once
// The program's icon, compiled into the program from data/icons, so every window carries it
// (under X as _NET_WM_ICON) wherever the program was started from, installed or not.
#include <QIcon>

namespace tovra {

// Every size data/icons has; null only if the resource was not linked in.
QIcon ProgramIcon();

}  // namespace tovra
