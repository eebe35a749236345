#pragma once

#include <chrono>
#include <cstdint>
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
    // When the message being handled was made (a key's: when it went down),
    // and the time now, in milliseconds since the system started (wrapping).
    virtual std::uint32_t MessageTime() = 0;
    virtual std::uint32_t Ticks() = 0;
};

}  // namespace vantrel
