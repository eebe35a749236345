#include "platform/win32/Win32WindowProcs.h"

#include <windows.h>

#include <array>
#include <atomic>
#include <mutex>
#include <utility>

#include "platform/Error.h"
#include "platform/Log.h"

namespace vantrel::win32 {

namespace {

// The portable procedures have the C++ calling convention, which on i686 is not
// the stdcall that Windows uses for window procedures; each gets a thunk of its
// own from this table. The program needs one or two, so a fixed table will do.
constexpr std::size_t kThunkCount = 8;

std::array<std::atomic<PortableWndProc>, kThunkCount> gPortable{};
std::mutex gAssign;

template <std::size_t I>
LRESULT CALLBACK Thunk(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        const PortableWndProc proc = gPortable[I].load();
        if (proc == nullptr)
            return DefWindowProcW(window, message, wParam, lParam);
        return proc(reinterpret_cast<WindowHandle>(window), message, wParam, lParam);
    } catch (...) {
        // Nothing may unwind through the system's dispatch.
        LogCaught("window procedure failed");
        return 0;
    }
}

template <std::size_t... I>
constexpr std::array<WNDPROC, kThunkCount> MakeThunks(std::index_sequence<I...>) {
    return {&Thunk<I>...};
}

constexpr std::array<WNDPROC, kThunkCount> kThunks =
    MakeThunks(std::make_index_sequence<kThunkCount>());

}  // namespace

ProcAddress Win32WindowProcs::AddressOf(PortableWndProc proc) {
    if (proc == nullptr)
        throw Error("AddressOf: no window procedure given");
    const std::lock_guard lock(gAssign);
    for (std::size_t i = 0; i < kThunkCount; ++i) {
        const PortableWndProc held = gPortable[i].load();
        if (held == proc)
            return reinterpret_cast<ProcAddress>(kThunks[i]);
        if (held == nullptr) {
            gPortable[i].store(proc);
            return reinterpret_cast<ProcAddress>(kThunks[i]);
        }
    }
    throw Error("AddressOf: more than " + std::to_string(kThunkCount) + " window procedures");
}

ProcAddress Win32WindowProcs::Install(WindowHandle window, ProcAddress proc) {
    return static_cast<ProcAddress>(SetWindowLongPtrW(reinterpret_cast<HWND>(window), GWLP_WNDPROC,
                                                      static_cast<LONG_PTR>(proc)));
}

std::intptr_t Win32WindowProcs::CallProc(ProcAddress proc, WindowHandle window,
                                         std::uint32_t message, std::uintptr_t wParam,
                                         std::intptr_t lParam) {
    return CallWindowProcW(reinterpret_cast<WNDPROC>(proc), reinterpret_cast<HWND>(window), message,
                           wParam, lParam);
}

}  // namespace vantrel::win32
