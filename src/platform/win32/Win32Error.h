#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/Error.h"

namespace vantrel::win32 {

// A failed system call: what() is "<what> failed: <system text>" as the
// "error in ..." boxes show it; code() is the system's error code, for
// callers (and tests) that tell failures apart; where() is the call's place.
class Win32Error : public Error {
  public:
    Win32Error(std::string_view what, DWORD code, SourcePlace where = SourcePlace::current());
    DWORD code() const { return code_; }

  private:
    DWORD code_;
};

// The system's text for an error code, without the trailing line break.
std::string SystemMessage(DWORD code);

// For a failure the program goes on without: logs "<context>: <what> failed:
// <system text>", the form LogCaught gives a caught one. Keeps the last error.
void LogWin32Failure(std::string_view context, std::string_view what, DWORD code) noexcept;

// One check for each way the system reports a failure. Each throws Win32Error
// naming `what` and the caller's place.

// For an error code kept from before a cleanup that may have changed GetLastError.
[[noreturn]] void ThrowWin32(std::string_view what, DWORD code,
                             SourcePlace where = SourcePlace::current());

// For calls that report failure as FALSE, null or 0 and leave the code in
// GetLastError: hands back what the call returned.
template <typename T>
T CheckLastError(T result, std::string_view what, SourcePlace where = SourcePlace::current()) {
    if (!result)
        ThrowWin32(what, GetLastError(), where);
    return result;
}

// The same, where the failure is told some other way (a sentinel, a count).
inline void ThrowLastErrorIf(bool failed, std::string_view what,
                             SourcePlace where = SourcePlace::current()) {
    if (failed)
        ThrowWin32(what, GetLastError(), where);
}

// For calls that return their code (the Reg* family's LSTATUS).
inline void CheckStatus(LSTATUS status, std::string_view what,
                        SourcePlace where = SourcePlace::current()) {
    if (status != ERROR_SUCCESS)
        ThrowWin32(what, static_cast<DWORD>(status), where);
}

// For COM and shell calls: a failed HRESULT, with the Win32 code inside it
// where it holds one. Hands back the result, since S_FALSE is a success too.
inline HRESULT CheckHresult(HRESULT result, std::string_view what,
                            SourcePlace where = SourcePlace::current()) {
    if (FAILED(result)) {
        const DWORD code = HRESULT_FACILITY(result) == FACILITY_WIN32 ? HRESULT_CODE(result)
                                                                      : static_cast<DWORD>(result);
        ThrowWin32(what, code, where);
    }
    return result;
}

}  // namespace vantrel::win32
