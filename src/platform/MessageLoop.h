#pragma once

#include <chrono>
#include <functional>
#include <optional>

namespace vantrel {

class MessageLoop {
public:
    virtual ~MessageLoop() = default;
    // One pass over the thread's waiting messages, then return.
    virtual void ProcessPending() = 0;
    // Processes messages until `done` holds or `bound` has passed (no bound:
    // no limit), resting between checks so no processor time is burnt.
    // Returns whether `done` held.
    virtual bool PumpUntil(const std::function<bool()>& done,
                           std::optional<std::chrono::milliseconds> bound) = 0;
};

}  // namespace vantrel
