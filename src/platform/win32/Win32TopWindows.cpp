#include "platform/win32/Win32TopWindows.h"

#include <windows.h>

#include <exception>
#include <string>

#include "platform/Error.h"
#include "platform/win32/Unicode.h"

namespace vantrel::win32 {

namespace {

bool EqualIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() &&
           (a.empty() || CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL);
}

struct Search {
    std::wstring wanted;
    HWND exact = nullptr;
    HWND prefix = nullptr;
    std::exception_ptr failure;
};

std::wstring WindowTitle(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::wstring title(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(window, title.data(), static_cast<int>(title.size()));
    title.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return title;
}

BOOL CALLBACK Visit(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<Search*>(param);
    try {
        if (!IsWindowVisible(window)) return TRUE;
        const std::wstring title = WindowTitle(window);
        if (EqualIgnoringCase(title, search.wanted)) {
            search.exact = window;
            return FALSE;
        }
        if (search.prefix == nullptr && title.size() >= search.wanted.size() &&
            EqualIgnoringCase(std::wstring_view(title).substr(0, search.wanted.size()), search.wanted)) {
            search.prefix = window;
        }
        return TRUE;
    } catch (...) {
        // Nothing may unwind through EnumWindows; rethrown once it has returned.
        search.failure = std::current_exception();
        return FALSE;
    }
}

}  // namespace

WindowHandle Win32TopWindows::ActivateByTitle(std::string_view title) {
    Search search;
    search.wanted = Widen(title);
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
    if (search.failure) std::rethrow_exception(search.failure);
    const HWND window = search.exact != nullptr ? search.exact : search.prefix;
    if (window == nullptr) throw Error("No window has the title '" + std::string(title) + "'");
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    // Not waiting for the other program to take the focus: it gets it when it
    // next reads its messages, and the keystrokes that follow queue up meanwhile.
    SetForegroundWindow(window);
    return reinterpret_cast<WindowHandle>(window);
}

bool Win32TopWindows::IsForeground(WindowHandle window) {
    return GetForegroundWindow() == reinterpret_cast<HWND>(window);
}

}  // namespace vantrel::win32
