#pragma once

#include "platform/MessageLoop.h"

namespace vantrel::win32 {

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
