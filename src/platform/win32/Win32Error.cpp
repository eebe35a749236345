#include "platform/win32/Win32Error.h"

#include "platform/Log.h"
#include "platform/win32/LastErrorKeeper.h"
#include "platform/win32/Unicode.h"

namespace vantrel::win32 {

Win32Error::Win32Error(std::string_view what, DWORD code, SourcePlace where)
    : Error(std::string(what) + " failed: " + SystemMessage(code), where), code_(code) {}

std::string SystemMessage(DWORD code) {
    wchar_t buffer[512] = {};
    const DWORD n =
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                       buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
    std::wstring text(buffer, n);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.pop_back();
    if (text.empty())
        return "error " + std::to_string(code);
    return Narrow(text);
}

void LogWin32Failure(std::string_view context, std::string_view what, DWORD code) noexcept {
    const LastErrorKeeper keeper;
    try {
        LogEvent(std::string(context) + ": " + Win32Error(what, code).what());
    } catch (...) {
        // Out of memory for the line: the log is skipped, as when it cannot be written.
    }
}

void ThrowWin32(std::string_view what, DWORD code, SourcePlace where) {
    throw Win32Error(what, code, where);
}

}  // namespace vantrel::win32
