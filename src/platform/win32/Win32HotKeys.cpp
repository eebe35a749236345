#include "platform/win32/Win32HotKeys.h"

#include <windows.h>

namespace vantrel::win32 {

// MOD_NOREPEAT asks the system not to turn a held key's repeats into more
// hotkey messages. Not every implementation honours it, so the dispatch keeps
// its own one-cycle-per-press rule as well.
int Win32HotKeys::Register(WindowHandle window, int id, int modifiers, int vk) {
    return RegisterHotKey(reinterpret_cast<HWND>(window), id,
                          static_cast<UINT>(modifiers) | MOD_NOREPEAT, static_cast<UINT>(vk));
}

int Win32HotKeys::Unregister(WindowHandle window, int id) {
    return UnregisterHotKey(reinterpret_cast<HWND>(window), id);
}

}  // namespace vantrel::win32
