#pragma once

#include <cstdint>

#include "platform/Types.h"

namespace vantrel {

// Replacing a window's procedure (subclassing).
class WindowProcs {
  public:
    virtual ~WindowProcs() = default;
    // The address through which the platform calls `proc`.
    virtual ProcAddress AddressOf(PortableWndProc proc) = 0;
    // Makes `proc` the window's procedure; returns the one it replaced (0 on failure).
    virtual ProcAddress Install(WindowHandle window, ProcAddress proc) = 0;
    virtual std::intptr_t CallProc(ProcAddress proc, WindowHandle window, std::uint32_t message,
                                   std::uintptr_t wParam, std::intptr_t lParam) = 0;
};

}  // namespace vantrel
