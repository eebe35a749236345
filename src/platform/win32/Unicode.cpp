#include "platform/win32/Unicode.h"

#include <windows.h>

namespace vantrel::win32 {

std::wstring Widen(std::string_view utf8) {
    if (utf8.empty())
        return {};
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

std::string Narrow(std::wstring_view wide) {
    if (wide.empty())
        return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), n,
                        nullptr, nullptr);
    return utf8;
}

std::string ToAnsi(std::string_view utf8) {
    const std::wstring wide = Widen(utf8);
    if (wide.empty())
        return {};
    const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), ansi.data(), n,
                        nullptr, nullptr);
    return ansi;
}

std::optional<std::string> ToAnsiExact(std::string_view utf8) {
    if (utf8.empty())
        return std::string();
    // Strict UTF-8 in: a broken sequence would otherwise become U+FFFD silently.
    const int wideLength = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(),
                                               static_cast<int>(utf8.size()), nullptr, 0);
    if (wideLength <= 0)
        return std::nullopt;
    const std::wstring wide = Widen(utf8);
    // A UTF-8 ANSI code page holds everything, and takes neither argument below.
    const bool utf8Ansi = GetACP() == CP_UTF8;
    const DWORD flags = utf8Ansi ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* const usedDefaultOut = utf8Ansi ? nullptr : &usedDefault;
    const int n = WideCharToMultiByte(CP_ACP, flags, wide.data(), static_cast<int>(wide.size()),
                                      nullptr, 0, nullptr, usedDefaultOut);
    if (n <= 0 || usedDefault)
        return std::nullopt;
    std::string ansi(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, flags, wide.data(), static_cast<int>(wide.size()), ansi.data(), n,
                        nullptr, usedDefaultOut);
    if (usedDefault)
        return std::nullopt;
    return ansi;
}

}  // namespace vantrel::win32
