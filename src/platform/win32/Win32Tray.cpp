#include "platform/win32/Win32Tray.h"

#include "platform/Error.h"

namespace vantrel::win32 {

bool Win32Tray::Add(const NotifyIconRecord& /*record*/) { throw Error("Win32Tray::Add is not implemented yet"); }

bool Win32Tray::Remove(const NotifyIconRecord& /*record*/) { throw Error("Win32Tray::Remove is not implemented yet"); }


}  // namespace vantrel::win32
