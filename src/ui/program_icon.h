#pragma once

#include <QIcon>
#include <QPixmap>

namespace pelorin {

/// Makes the program's own pictures and sounds (":/pelorin/...") available; safe to call more than once.
void LoadProgramResources();
/// The program's icon drawn from its own picture (resources/pelorin.svg) at `size` pixels square.
QPixmap ProgramIconPixmap(int size);
/// The program's icon in the sizes a window manager asks for: the window icon of every window.
QIcon ProgramIcon();

} // namespace pelorin
