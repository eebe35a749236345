#include "platform/win32/Win32HotKeys.h"

#include "platform/Error.h"

namespace vantrel::win32 {

int Win32HotKeys::Register(WindowHandle /*window*/, int /*id*/, int /*modifiers*/, int /*vk*/) { throw Error("Win32HotKeys::Register is not implemented yet"); }

int Win32HotKeys::Unregister(WindowHandle /*window*/, int /*id*/) { throw Error("Win32HotKeys::Unregister is not implemented yet"); }


}  // namespace vantrel::win32
