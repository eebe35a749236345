#pragma once

#include "platform/Keyboard.h"

namespace vantrel::win32 {

// Key state and synthesized keystrokes (SendInput).
class Win32Keyboard : public Keyboard {
  public:
    bool IsKeyDown(int vk) override;
    void Send(const std::vector<KeyEvent>& events) override;
    std::chrono::milliseconds RepeatDelay() override;
};

}  // namespace vantrel::win32
