#pragma once

#include <chrono>
#include <string>

namespace vantrel {

// How long a grab waits for the source program to answer one copy keystroke
// before taking it that nothing was copied.
constexpr std::chrono::milliseconds kCopyWaitBound{500};

// How long a grab waits for the source window to become the foreground window
// before sending the copy keystrokes anyway.
constexpr std::chrono::milliseconds kActivationWaitBound{300};

// Brings the window titled `windowTitle` to the front (none when empty), waits
// until Ctrl, Shift and Alt are released and, for the grab type "Cursor",
// copies the selection, or the whole line when nothing is selected. Returns
// the clipboard's text afterwards. A failure shows the activation error box,
// which names the title given (the one configured), and yields empty text.
std::string GrabWindowText(const std::string& windowTitle, const std::string& grabType);

}  // namespace vantrel
