#include "platform/win32/Win32Log.h"

#include <windows.h>

#include <cstdio>
#include <utility>

#include "platform/Utf8.h"
#include "platform/win32/LastErrorKeeper.h"
#include "platform/win32/LocalAppData.h"
#include "platform/win32/UniqueHandle.h"

namespace vantrel::win32 {

namespace {

std::wstring OlderFileOf(const std::wstring& path) {
    const std::wstring base = path.size() >= 4 ? path.substr(0, path.size() - 4) : path;
    return base + L".old.log";
}

std::wstring FolderOf(const std::wstring& path) {
    const auto slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

// "2026-12-08 10:12:01.123 " in local time, as a support person reads the clock.
std::string Stamp() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    char text[32] = {};
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u.%03u ", t.wYear, t.wMonth, t.wDay,
                  t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
    return text;
}

// Shared for reading, writing and deleting, so two copies of the program can
// append at once and either can move the full file aside.
HANDLE OpenForAppending(const std::wstring& path) {
    return CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

Win32Log::Win32Log(std::wstring path, std::uint64_t limit) noexcept : path_(std::move(path)), limit_(limit) {}

// Whatever goes wrong here stays here, and the caller's last error survives:
// a line may be written between a failing call and the reading of its error.
void Win32Log::Write(std::string_view line) noexcept {
    const LastErrorKeeper keeper;
    try {
        Append(line);
    } catch (...) {
    }
}

// The file is opened for each line: nothing stays locked, the folder may be
// removed while the program runs, and a second copy of the program can log too.
void Win32Log::Append(std::string_view line) {
    if (path_.empty()) path_ = LocalAppDataFolder() + L"\\Vantrel\\Vantrel.log";
    // One event is one line of reasonable length, whatever a description holds;
    // cut between characters.
    constexpr std::size_t kLongest = 1000;
    const std::size_t length = Utf8CutLength(line, kLongest);
    std::string text = Stamp();
    text.reserve(text.size() + length + 6);
    for (const char c : line.substr(0, length)) text.push_back(c == '\r' || c == '\n' ? ' ' : c);
    if (length < line.size()) text += "...";
    text += "\r\n";

    CreateDirectoryW(FolderOf(path_).c_str(), nullptr);
    HANDLE opened = OpenForAppending(path_);
    if (opened == INVALID_HANDLE_VALUE) return;
    UniqueFile file(opened);
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file.get(), &size) && size.QuadPart > 0 &&
        static_cast<std::uint64_t>(size.QuadPart) + text.size() > limit_) {
        file.reset();
        MoveFileExW(path_.c_str(), OlderFileOf(path_).c_str(), MOVEFILE_REPLACE_EXISTING);
        opened = OpenForAppending(path_);
        if (opened == INVALID_HANDLE_VALUE) return;
        file.reset(opened);
    }
    DWORD written = 0;
    WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

}  // namespace vantrel::win32
