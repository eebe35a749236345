#pragma once

#include <cstdint>
#include <string>

#include "platform/Types.h"

namespace vantrel {

// The fields of the notification-icon record the program fills.
struct NotifyIconRecord {
    std::uint32_t size = 0;
    WindowHandle window = 0;
    std::uint32_t id = 0;
    std::uint32_t flags = 0;
    std::uint32_t callbackMessage = 0;
    std::uintptr_t icon = 0;
    std::string tip;  // exactly 64 characters: caption, NUL, spaces
};

class Tray {
  public:
    virtual ~Tray() = default;
    // The platform's raw results; nobody examines them.
    virtual bool Add(const NotifyIconRecord& record) = 0;
    virtual bool Remove(const NotifyIconRecord& record) = 0;
};

}  // namespace vantrel
