#pragma once

#include <string>

namespace vantrel {

class Clock {
  public:
    virtual ~Clock() = default;
    // The current date and time in the user's general form, to the second.
    virtual std::string NowAsGeneralDate() = 0;
};

}  // namespace vantrel
