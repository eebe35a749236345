#pragma once

// Small helpers shared by the development stand-ins: record files beside the exe,
// wall-clock timestamps and one-line escaping, so shell scripts can read the records.

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/win32/UniqueHandle.h"

namespace vantrel::tools {

// Tags the WM_COPYDATA messages that brisklet hands to doccenter ("BRKL").
inline constexpr ULONG_PTR kCopyDataTag = 0x4C4B5242;
inline constexpr wchar_t kDocumentCenterTitle[] = L"Document Center";

// Keeps any text on one line and reversible: backslash, tab, CR, LF and the other control
// bytes become escapes; everything else (UTF-8 included) stays as it is.
inline std::string Escaped(std::string_view text) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (b < 0x20 || b == 0x7f) {
            out += "\\x";
            out += kDigits[b >> 4];
            out += kDigits[b & 0x0f];
        } else {
            out += c;
        }
    }
    return out;
}

inline std::string Hex(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out += kDigits[b >> 4];
        out += kDigits[b & 0x0f];
    }
    return out;
}

// Microseconds since the Unix epoch, comparable between processes (unlike
// QueryPerformanceCounter, which a shell script cannot relate to anything).
inline std::int64_t UnixMicrosNow() {
    FILETIME ft{};
    GetSystemTimePreciseAsFileTime(&ft);
    const std::uint64_t ticks =
        (static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    constexpr std::uint64_t kEpochTicks = 116444736000000000ULL;  // 1601-01-01 to 1970-01-01
    return static_cast<std::int64_t>((ticks - kEpochTicks) / 10);
}

// The records live beside the exe so each copy of a tool keeps its own.
inline std::wstring PathBesideExe(std::wstring_view fileName) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return std::wstring(fileName);
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::size_t slash = path.find_last_of(L"\\/");
    path.resize(slash == std::wstring::npos ? 0 : slash + 1);
    return path + std::wstring(fileName);
}

// One WriteFile on a handle opened for appending only: the system puts the whole block at
// the end even when two processes write at once, so records never interleave.
inline bool AppendToFile(const std::wstring& path, std::string_view bytes) {
    for (int attempt = 0; attempt < 50; ++attempt) {
        const HANDLE h = CreateFileW(path.c_str(), FILE_APPEND_DATA,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            if (GetLastError() != ERROR_SHARING_VIOLATION)
                return false;
            Sleep(10);  // someone opened the record without sharing; it is brief
            continue;
        }
        const win32::UniqueHandleObj file(h);
        DWORD written = 0;
        return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                         nullptr) &&
               written == bytes.size();
    }
    return false;
}

}  // namespace vantrel::tools
