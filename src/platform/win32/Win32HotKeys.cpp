#include "platform/win32/Win32HotKeys.h"

#include <windows.h>

namespace vantrel::win32 {

int Win32HotKeys::Register(WindowHandle window, int id, int modifiers, int vk) {
    return RegisterHotKey(reinterpret_cast<HWND>(window), id, static_cast<UINT>(modifiers),
                          static_cast<UINT>(vk));
}

int Win32HotKeys::Unregister(WindowHandle window, int id) {
    return UnregisterHotKey(reinterpret_cast<HWND>(window), id);
}

}  // namespace vantrel::win32
