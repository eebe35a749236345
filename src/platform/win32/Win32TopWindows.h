#pragma once

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
    // The window this object brought to the front and has not yet seen
    // answer; a window that was in front already needs no round trip.
    WindowHandle brought_ = 0;
};

}  // namespace vantrel::win32
