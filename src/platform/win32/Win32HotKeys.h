#pragma once

#include "platform/HotKeys.h"

namespace vantrel::win32 {

// RegisterHotKey / UnregisterHotKey.
class Win32HotKeys : public HotKeys {
  public:
    int Register(WindowHandle window, int id, int modifiers, int vk) override;
    int Unregister(WindowHandle window, int id) override;
};

}  // namespace vantrel::win32
