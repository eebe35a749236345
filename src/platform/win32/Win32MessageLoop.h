#pragma once

#include <windows.h>

#include <functional>

#include "platform/MessageLoop.h"

namespace vantrel::win32 {

// The one way this program hands on a message: a keystroke for its dialog
// that is active (the settings dialog, the about box) gets the dialog's
// keyboard navigation (Tab, Enter, Esc); anything else is translated and
// dispatched.
void HandOn(MSG& msg);

// Waits for messages and hands each on until `done` holds. A quit request, or
// a queue that is no more, ends it early (false); the quit request is posted
// again when `passQuitOn`, so that the loop outside ends too.
bool RunMessagesUntil(const std::function<bool()>& done, bool passQuitOn);

// The calling thread's message queue. A quit request is left in it for the
// main loop, and ends any wait: the program is ending.
class Win32MessageLoop : public MessageLoop {
  public:
    void ProcessPending() override;
    bool PumpUntil(const std::function<bool()>& done,
                   std::optional<std::chrono::milliseconds> bound) override;
    std::uint32_t MessageTime() override;
    std::uint32_t Ticks() override;

  private:
    // One pass; false when it met the quit request.
    static bool Pass();
};

}  // namespace vantrel::win32
