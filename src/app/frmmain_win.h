#pragma once

// The real main window on Windows: a hidden top-level window that carries
// the program's icon, the tray menu and the buttons, around the portable
// logic of frmmain.

#include "app/frmmain.h"
#include "platform/Types.h"

namespace vantrel::win32 {

// Creates the program's one main window, hidden, and returns its logic; it
// lives until EndMainWindow. Throws Error when the window cannot be created
// or already exists.
frmmain& LoadMainWindow();
// Whether the main window exists (from its creation until it is unloaded).
bool IsMainWindowLoaded();
// The window's handle, 0 when it is not loaded.
WindowHandle MainWindowHandle();
// Unloads the window if it is still loaded (its unload handler runs) and ends
// the main window object. Call while the desktop services are installed: the
// object's end deletes the hotkey's atom.
void EndMainWindow();

}  // namespace vantrel::win32
