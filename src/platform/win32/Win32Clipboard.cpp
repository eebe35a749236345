#include "platform/win32/Win32Clipboard.h"

#include <windows.h>

#include <chrono>

#include "platform/Error.h"
#include "platform/win32/LastErrorKeeper.h"
#include "platform/win32/Unicode.h"
#include "platform/win32/Win32Error.h"
#include "platform/win32/Win32MessageLoop.h"

namespace vantrel::win32 {

namespace {

// Another program may hold the clipboard for a moment (a copy in progress,
// a clipboard manager); give it about a second before calling it a failure.
constexpr auto kOpenPatience = std::chrono::milliseconds(1000);

class OpenedClipboard {
public:
    // The retries process messages, so the program answers meanwhile.
    explicit OpenedClipboard(const char* purpose) {
        DWORD error = ERROR_SUCCESS;
        const bool opened = Win32MessageLoop().PumpUntil(
            [&] {
                if (OpenClipboard(nullptr)) return true;
                error = GetLastError();
                return false;
            },
            kOpenPatience);
        if (!opened) ThrowWin32(std::string(purpose) + ": opening the clipboard", error);
    }
    ~OpenedClipboard() {
        const LastErrorKeeper keep;
        CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
};

class LockedGlobal {
public:
    explicit LockedGlobal(HGLOBAL memory) : memory_(memory), data_(GlobalLock(memory)) {}
    ~LockedGlobal() {
        if (data_ != nullptr) {
            const LastErrorKeeper keep;
            GlobalUnlock(memory_);
        }
    }
    LockedGlobal(const LockedGlobal&) = delete;
    LockedGlobal& operator=(const LockedGlobal&) = delete;
    const void* data() const { return data_; }
    std::size_t size() const { return data_ != nullptr ? GlobalSize(memory_) : 0; }

private:
    HGLOBAL memory_;
    void* data_;
};

}  // namespace

void Win32Clipboard::Clear() {
    const OpenedClipboard open("Clearing the clipboard");
    ThrowLastErrorIf(!EmptyClipboard(), "Clearing the clipboard");
}

std::string Win32Clipboard::ReadText() {
    const OpenedClipboard open("Reading the clipboard");
    const HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (data == nullptr) return {};
    const LockedGlobal locked(data);
    if (locked.data() == nullptr) ThrowWin32("Reading the clipboard's text", GetLastError());
    // The block may be larger than the text, or (from a careless program) lack the NUL.
    std::wstring_view text(static_cast<const wchar_t*>(locked.data()), locked.size() / sizeof(wchar_t));
    const auto nul = text.find(L'\0');
    if (nul != std::wstring_view::npos) text = text.substr(0, nul);
    return Narrow(text);
}

std::uint32_t Win32Clipboard::SequenceNumber() { return GetClipboardSequenceNumber(); }

}  // namespace vantrel::win32
