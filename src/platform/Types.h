#pragma once

#include <cstdint>

namespace vantrel {

// A window as the desktop names it (an HWND on Windows). Opaque to the core.
using WindowHandle = std::uintptr_t;

// The address of a window procedure (a WNDPROC on Windows). Opaque to the core.
using ProcAddress = std::uintptr_t;

// A window procedure written in the portable core. The Win32 layer calls it
// through a thunk with the platform's calling convention.
using PortableWndProc = std::intptr_t (*)(WindowHandle, std::uint32_t message,
                                          std::uintptr_t wParam, std::intptr_t lParam);

constexpr std::uint32_t kWmMouseMove = 0x0200;
constexpr std::uint32_t kWmRButtonUp = 0x0205;
constexpr std::uint32_t kWmHotKey = 0x0312;

// Virtual-key codes the core names.
constexpr int kVkShift = 0x10;
constexpr int kVkControl = 0x11;
constexpr int kVkMenu = 0x12;  // Alt
constexpr int kVkEnd = 0x23;
constexpr int kVkHome = 0x24;

}  // namespace vantrel
