#include "platform/win32/Win32Clipboard.h"

#include <windows.h>

#include <chrono>

#include "platform/Error.h"
#include "platform/ScopeExit.h"
#include "platform/win32/LastErrorKeeper.h"
#include "platform/win32/Unicode.h"
#include "platform/win32/Win32Error.h"
#include "platform/win32/Win32MessageLoop.h"

namespace vantrel::win32 {

namespace {

// Another program may hold the clipboard for a moment (a copy in progress,
// a clipboard manager); give it about a second before calling it a failure.
constexpr auto kOpenPatience = std::chrono::milliseconds(1000);

// The retries process messages, so the program answers meanwhile.
void OpenClipboardPatiently(const char* purpose) {
    DWORD error = ERROR_SUCCESS;
    const bool opened = Win32MessageLoop().PumpUntil(
        [&] {
            if (OpenClipboard(nullptr))
                return true;
            error = GetLastError();
            return false;
        },
        kOpenPatience);
    if (!opened)
        ThrowWin32(std::string(purpose) + ": opening the clipboard", error);
}

void CloseClipboardKeepingError() {
    const LastErrorKeeper keep;
    CloseClipboard();
}

}  // namespace

void Win32Clipboard::Clear() {
    OpenClipboardPatiently("Clearing the clipboard");
    const ScopeExit close(&CloseClipboardKeepingError);
    ThrowLastErrorIf(!EmptyClipboard(), "Clearing the clipboard");
}

std::string Win32Clipboard::ReadText() {
    OpenClipboardPatiently("Reading the clipboard");
    const ScopeExit close(&CloseClipboardKeepingError);
    const HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (data == nullptr)
        return {};
    const void* locked = CheckLastError(GlobalLock(data), "Reading the clipboard's text");
    const ScopeExit unlock([data] {
        const LastErrorKeeper keep;
        GlobalUnlock(data);
    });
    // The block may be larger than the text, or (from a careless program) lack the NUL.
    std::wstring_view text(static_cast<const wchar_t*>(locked), GlobalSize(data) / sizeof(wchar_t));
    const auto nul = text.find(L'\0');
    if (nul != std::wstring_view::npos)
        text = text.substr(0, nul);
    return Narrow(text);
}

std::uint32_t Win32Clipboard::SequenceNumber() {
    return GetClipboardSequenceNumber();
}

}  // namespace vantrel::win32
