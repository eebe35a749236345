#pragma once

#include <windows.h>

namespace vantrel::win32 {

// Keeps GetLastError across a scope, so that cleanup (closing a handle,
// releasing a lock) never replaces the error that is being reported.
class LastErrorKeeper {
  public:
    LastErrorKeeper() : saved_(GetLastError()) {}
    ~LastErrorKeeper() { SetLastError(saved_); }
    LastErrorKeeper(const LastErrorKeeper&) = delete;
    LastErrorKeeper& operator=(const LastErrorKeeper&) = delete;

  private:
    const DWORD saved_;
};

}  // namespace vantrel::win32
