#pragma once

#include <cstdint>
#include <string>

namespace vantrel {

class Clock {
public:
    virtual ~Clock() = default;
    // The current date and time in the user's general form, to the second.
    virtual std::string NowAsGeneralDate() = 0;
    // Milliseconds since the system started, wrapping at 2^32.
    virtual std::uint32_t Ticks() = 0;
};

}  // namespace vantrel
