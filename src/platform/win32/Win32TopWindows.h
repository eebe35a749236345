#pragma once

#include "platform/TopWindows.h"

namespace vantrel::win32 {

// Finds visible top-level windows by title, ignoring letter case.
class Win32TopWindows : public TopWindows {
public:
    WindowHandle ActivateByTitle(std::string_view title) override;
    bool IsForeground(WindowHandle window) override;
    Selection FocusedSelection(WindowHandle window) override;
};

}  // namespace vantrel::win32
