#pragma once

#include <string_view>

namespace vantrel {

// Top-level windows found by their titles.
class TopWindows {
public:
    virtual ~TopWindows() = default;
    // Brings the window with exactly this title (else the first whose title
    // begins with it) to the front without waiting for it to take the focus.
    // Throws Error when no window matches.
    virtual void ActivateByTitle(std::string_view title) = 0;
};

}  // namespace vantrel
