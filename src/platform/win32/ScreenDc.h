#pragma once

#include <windows.h>

#include "platform/win32/LastErrorKeeper.h"

namespace vantrel::win32 {

// The screen's device context for a scope (GetDC(nullptr) / ReleaseDC).
// May be empty when the system has none to give.
class ScreenDc {
  public:
    ScreenDc() : dc_(GetDC(nullptr)) {}
    ~ScreenDc() {
        if (dc_ != nullptr) {
            const LastErrorKeeper keep;
            ReleaseDC(nullptr, dc_);
        }
    }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

  private:
    const HDC dc_;
};

}  // namespace vantrel::win32
