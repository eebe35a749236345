#pragma once

#include <string>
#include <string_view>

namespace vantrel::win32 {

// The core speaks UTF-8; Windows' wide API speaks UTF-16.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);
// To the system's ANSI code page, for the few places whose bytes are fixed.
std::string ToAnsi(std::string_view utf8);

}  // namespace vantrel::win32
