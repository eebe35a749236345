#pragma once

#include <string_view>

#include "platform/Types.h"

namespace vantrel {

// What the focused control of a program says of its selection.
enum class Selection {
    Empty,        // a standard edit control with nothing selected
    NotEmpty,     // a standard edit control with text selected
    Unknown,      // any other control, no focused control, or no answer in time
    NeverCopies,  // a password edit control: it copies nothing, selected or not
};

// Top-level windows found by their titles.
class TopWindows {
  public:
    virtual ~TopWindows() = default;
    // Brings the window with exactly this title (else the first whose title
    // begins with it) to the front without waiting for it to take the focus.
    // Throws Error when no window matches. Returns the window it activated.
    virtual WindowHandle ActivateByTitle(std::string_view title) = 0;
    // The window in front now (0: none).
    virtual WindowHandle Foreground() = 0;
    // Brings a window found earlier back to the front, as ActivateByTitle does.
    virtual void Activate(WindowHandle window) = 0;
    // Whether the window is the one the user's keystrokes now go to, its
    // program having taken the activation (one of its windows has the focus).
    virtual bool IsForeground(WindowHandle window) = 0;
    // Asks the focused control of the window's thread (0: of the foreground
    // window's) for its selection. Only a standard edit or rich edit control,
    // by its real class, is asked, and only for a short time. Never throws.
    virtual Selection FocusedSelection(WindowHandle window) = 0;
    // Whether the window's program has not yet read its messages: it does not
    // answer one within a moment. Never throws.
    virtual bool IsBusy(WindowHandle window) = 0;
};

}  // namespace vantrel
