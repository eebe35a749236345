#pragma once

#include "platform/Types.h"

namespace vantrel {

class HotKeys {
  public:
    virtual ~HotKeys() = default;
    // The platform's raw result: non-zero on success.
    virtual int Register(WindowHandle window, int id, int modifiers, int vk) = 0;
    virtual int Unregister(WindowHandle window, int id) = 0;
};

}  // namespace vantrel
