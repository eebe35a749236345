#pragma once

#include <string_view>

#include "platform/Types.h"

namespace vantrel {

// Top-level windows found by their titles.
class TopWindows {
public:
    virtual ~TopWindows() = default;
    // Brings the window with exactly this title (else the first whose title
    // begins with it) to the front without waiting for it to take the focus.
    // Throws Error when no window matches. Returns the window it activated.
    virtual WindowHandle ActivateByTitle(std::string_view title) = 0;
    // Whether the window is the one the user's keystrokes now go to.
    virtual bool IsForeground(WindowHandle window) = 0;
};

}  // namespace vantrel
