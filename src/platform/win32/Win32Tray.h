#pragma once

#include "platform/Tray.h"

namespace vantrel::win32 {

// Notification icons through Shell_NotifyIconA with the first-version record.
class Win32Tray : public Tray {
  public:
    bool Add(const NotifyIconRecord& record) override;
    bool Remove(const NotifyIconRecord& record) override;
};

}  // namespace vantrel::win32
