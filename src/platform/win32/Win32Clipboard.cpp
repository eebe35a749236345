#include "platform/win32/Win32Clipboard.h"

#include <windows.h>

#include <algorithm>
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
void OpenClipboardPatiently(const char* purpose, HWND owner = nullptr) {
    DWORD error = ERROR_SUCCESS;
    const bool opened = Win32MessageLoop().PumpUntil(
        [&] {
            if (OpenClipboard(owner))
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

void Win32Clipboard::WriteText(std::string_view text) {
    constexpr const char* kWriting = "Writing the clipboard";
    const std::wstring wide = Widen(text);
    UniqueHglobal block(
        CheckLastError(GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t)), kWriting));
    {
        void* locked = CheckLastError(GlobalLock(block.get()), kWriting);
        std::copy(wide.c_str(), wide.c_str() + wide.size() + 1, static_cast<wchar_t*>(locked));
        GlobalUnlock(block.get());
    }
    // Opened without a window, the clipboard would have no owner after
    // EmptyClipboard, and SetClipboardData then fails.
    if (!owner_)
        owner_.reset(CheckLastError(CreateWindowExW(0, L"STATIC", nullptr, 0, 0, 0, 0, 0,
                                                    HWND_MESSAGE, nullptr, nullptr, nullptr),
                                    "Writing the clipboard: making its owner window"));
    OpenClipboardPatiently(kWriting, owner_.get());
    const ScopeExit close(&CloseClipboardKeepingError);
    ThrowLastErrorIf(!EmptyClipboard(), kWriting);
    CheckLastError(SetClipboardData(CF_UNICODETEXT, block.get()), kWriting);
    // The clipboard owns the block now.
    block.release();
}

std::uint32_t Win32Clipboard::SequenceNumber() {
    return GetClipboardSequenceNumber();
}

}  // namespace vantrel::win32
