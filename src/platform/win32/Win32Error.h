#pragma once

#include <windows.h>

#include <string>

namespace vantrel::win32 {

// The system's text for an error code, without the trailing line break.
std::string SystemMessage(DWORD code);

// Throws vantrel::Error "<what> failed: <system text>".
[[noreturn]] void ThrowWin32(const std::string& what, DWORD code);

inline void ThrowLastErrorIf(bool failed, const char* what) {
    if (failed) ThrowWin32(what, GetLastError());
}

}  // namespace vantrel::win32
