#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

namespace vantrel {

struct KeyEvent {
    std::uint16_t vk = 0;
    bool up = false;
    friend bool operator==(const KeyEvent&, const KeyEvent&) = default;
};

class Keyboard {
  public:
    virtual ~Keyboard() = default;
    // True when the key is down now or was pressed since the last query.
    virtual bool IsKeyDown(int vk) = 0;
    // Queues the events to the foreground window and returns at once.
    // Throws Error when they cannot be sent.
    virtual void Send(const std::vector<KeyEvent>& events) = 0;
    // How long a held key waits before it starts to repeat.
    virtual std::chrono::milliseconds RepeatDelay() = 0;
};

}  // namespace vantrel
