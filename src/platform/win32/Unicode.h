#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vantrel::win32 {

// The core speaks UTF-8; Windows' wide API speaks UTF-16.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);
// To the system's ANSI code page, for the few places whose bytes are fixed.
std::string ToAnsi(std::string_view utf8);
// The same, but nothing when a character would be replaced by a look-alike
// or by the default character.
std::optional<std::string> ToAnsiExact(std::string_view utf8);

}  // namespace vantrel::win32
