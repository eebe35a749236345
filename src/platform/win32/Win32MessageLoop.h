#pragma once

#include "platform/MessageLoop.h"

namespace vantrel::win32 {

// The calling thread's message queue.
class Win32MessageLoop : public MessageLoop {
public:
    void ProcessPending() override;
    bool PumpUntil(const std::function<bool()>& done,
                   std::optional<std::chrono::milliseconds> bound) override;
};

}  // namespace vantrel::win32
