#pragma once

#include "platform/WindowProcs.h"

namespace vantrel::win32 {

// Subclassing through a fixed table of WNDPROC thunks, one per portable procedure.
class Win32WindowProcs : public WindowProcs {
  public:
    ProcAddress AddressOf(PortableWndProc proc) override;
    ProcAddress Install(WindowHandle window, ProcAddress proc) override;
    std::intptr_t CallProc(ProcAddress proc, WindowHandle window, std::uint32_t message,
                           std::uintptr_t wParam, std::intptr_t lParam) override;
};

}  // namespace vantrel::win32
