#include "platform/win32/Win32Log.h"

#include <windows.h>

#include <cstdio>
#include <utility>

#include "platform/Utf8.h"
#include "platform/win32/LastErrorKeeper.h"
#include "platform/win32/LocalAppData.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Files.h"

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

// "2026-12-08 10:12:01.123 [4242] ": local time, as a support person reads the
// clock, and the process, since two copies of the program may write.
std::string Stamp() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    char text[48] = {};
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u.%03u [%lu] ", t.wYear, t.wMonth,
                  t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds, GetCurrentProcessId());
    return text;
}

// A control character (C0, DEL, or C1 in UTF-8) in a description would break
// the line or play tricks on the terminal that shows it: it becomes a space.
void AppendNeutral(std::string& text, std::string_view line) {
    for (std::size_t i = 0; i < line.size(); ++i) {
        const auto c = static_cast<unsigned char>(line[i]);
        if (c < 0x20 || c == 0x7F) {
            text.push_back(' ');
        } else if (c == 0xC2 && i + 1 < line.size() &&
                   (static_cast<unsigned char>(line[i + 1]) & 0xE0) == 0x80) {
            text.push_back(' ');
            ++i;
        } else {
            text.push_back(line[i]);
        }
    }
}

// Shared for reading, writing and deleting, so two copies of the program can
// append at once and either can move the full file aside.
HANDLE OpenForAppending(const std::wstring& path) {
    return CreateFileW(path.c_str(), FILE_APPEND_DATA | DELETE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

Win32Log::Win32Log(std::wstring path, std::uint64_t limit) noexcept
    : path_(std::move(path)), limit_(limit) {}

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
    if (path_.empty())
        path_ = LocalAppDataFolder() + L"\\Vantrel\\Vantrel.log";
    // One event is one line of reasonable length, whatever a description holds;
    // cut between characters.
    constexpr std::size_t kLongest = 1000;
    const std::size_t length = Utf8CutLength(line, kLongest);
    std::string text = Stamp();
    text.reserve(text.size() + length + 6);
    AppendNeutral(text, line.substr(0, length));
    if (length < line.size())
        text += "...";
    text += "\r\n";

    CreateDirectoryW(FolderOf(path_).c_str(), nullptr);
    HANDLE opened = OpenForAppending(path_);
    if (opened == INVALID_HANDLE_VALUE)
        return;
    UniqueFile file(opened);
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file.get(), &size) && size.QuadPart > 0 &&
        static_cast<std::uint64_t>(size.QuadPart) + text.size() > limit_) {
        // Through the handle: when another copy has just moved this file
        // aside, it is already the older one, and the name now holds the new
        // file, which must not replace it.
        RenameOver(file.get(), OlderFileOf(path_));
        file.reset();
        opened = OpenForAppending(path_);
        if (opened == INVALID_HANDLE_VALUE)
            return;
        file.reset(opened);
    }
    DWORD written = 0;
    WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

}  // namespace vantrel::win32
