#pragma once

#include "platform/Clock.h"

namespace vantrel::win32 {

// Local time in the user's short date and long time formats.
class Win32Clock : public Clock {
  public:
    std::string NowAsGeneralDate() override;
};

}  // namespace vantrel::win32
