#include "platform/win32/Win32Files.h"

#include <windows.h>

#include <optional>
#include <string>

#include "platform/Error.h"
#include "platform/win32/Unicode.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Error.h"

namespace vantrel::win32 {

bool Win32Files::IsPlainFile(std::string_view path) {
    const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
}

void Win32Files::Delete(std::string_view path) {
    if (!DeleteFileW(Widen(path).c_str())) ThrowWin32("Deleting " + std::string(path), GetLastError());
}

void Win32Files::WriteNewAnsiTextFile(std::string_view path, std::string_view text) {
    // A character the code page lacks would reach the file as a look-alike or a
    // "?": nothing is written rather than other text.
    const std::optional<std::string> ansi = ToAnsiExact(text);
    if (!ansi)
        throw Error("Writing " + std::string(path) +
                    " failed: the text holds characters that this system's code page cannot hold");
    // CREATE_ALWAYS truncates an old file: the text is never appended to old contents.
    const std::wstring wide = Widen(path);
    auto create = [&] {
        return CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    HANDLE opened = create();
    // Windows refuses to overwrite a hidden or system file with normal attributes;
    // such an old file is still ours to replace.
    if (opened == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED) {
        const DWORD attributes = GetFileAttributesW(wide.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
            (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0 &&
            (attributes & FILE_ATTRIBUTE_READONLY) == 0 &&
            SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL))
            opened = create();
        else
            SetLastError(ERROR_ACCESS_DENIED);
    }
    if (opened == INVALID_HANDLE_VALUE) ThrowWin32("Creating " + std::string(path), GetLastError());
    const UniqueFile file(opened);
    const std::string bytes = *ansi;
    if (bytes.empty()) return;
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
        ThrowWin32("Writing " + std::string(path), GetLastError());
    if (written != bytes.size())
        throw Error("Writing " + std::string(path) + " failed: only " + std::to_string(written) + " of " +
                    std::to_string(bytes.size()) + " bytes were written");
}

bool Win32Files::IsExactInAnsi(std::string_view text) { return ToAnsiExact(text).has_value(); }

}  // namespace vantrel::win32
