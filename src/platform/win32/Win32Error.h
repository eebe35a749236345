#pragma once

#include <windows.h>

#include <string>

#include "platform/Error.h"

namespace vantrel::win32 {

// A failed system call: what() is "<what> failed: <system text>" as the
// "error in ..." boxes show it; code() is the system's error code, for
// callers (and tests) that tell failures apart.
class Win32Error : public Error {
public:
    Win32Error(const std::string& what, DWORD code);
    DWORD code() const { return code_; }

private:
    DWORD code_;
};

// The system's text for an error code, without the trailing line break.
std::string SystemMessage(DWORD code);

[[noreturn]] void ThrowWin32(const std::string& what, DWORD code);

// For calls that report failure as FALSE or null and leave the code in GetLastError.
inline void ThrowLastErrorIf(bool failed, const char* what) {
    if (failed) ThrowWin32(what, GetLastError());
}

// For calls that return their code (the Reg* family's LSTATUS).
inline void ThrowIfWin32Error(LSTATUS status, const std::string& what) {
    if (status != ERROR_SUCCESS) ThrowWin32(what, static_cast<DWORD>(status));
}

}  // namespace vantrel::win32
