#pragma once

#include <chrono>
#include <optional>

#include "platform/TopWindows.h"

namespace vantrel::win32 {

// Finds visible top-level windows by title, ignoring letter case.
class Win32TopWindows : public TopWindows {
public:
    WindowHandle ActivateByTitle(std::string_view title) override;
    WindowHandle Foreground() override;
    void Activate(WindowHandle window) override;
    bool IsForeground(WindowHandle window) override;
    Selection FocusedSelection(WindowHandle window) override;
    bool IsBusy(WindowHandle window) override;

private:
    // The window this object brought to the front, and since when it has been
    // ready for keystrokes; a window that was in front already needs no settling.
    WindowHandle brought_ = 0;
    std::optional<std::chrono::steady_clock::time_point> readySince_;
};

}  // namespace vantrel::win32
