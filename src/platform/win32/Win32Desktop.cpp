#include "platform/win32/Win32Desktop.h"

namespace vantrel::win32 {

Win32Desktop::Win32Desktop()
    : desktop_{settings, clipboard, keyboard, windows, files, processes, boxes, loop,
               hotkeys,  atoms,     clock,    procs,   tray,  registry,  log} {}

}  // namespace vantrel::win32
