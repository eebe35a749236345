#pragma once

#include <chrono>
#include <string>

#include "platform/Error.h"

namespace vantrel {

// How long a grab waits for the source program to answer one copy keystroke
// before taking it that nothing was copied.
constexpr std::chrono::milliseconds kCopyWaitBound{500};

// How long a grab waits for the source window to become the foreground window
// before sending the copy keystrokes anyway.
constexpr std::chrono::milliseconds kActivationWaitBound{300};

// How long a grab goes on waiting for a copy while the source program has not
// yet read its keys (a program busy elsewhere, or over a slow remote session).
constexpr std::chrono::milliseconds kBusySourceWaitBound{5000};

// How long the wait for Ctrl, Shift and Alt lasts before the log says so once.
constexpr std::chrono::milliseconds kModifierWaitNotice{3000};

// A press that must come to nothing: the program is closing, the settings it
// was made with are being changed, or the source window could not be brought
// back to the front. No key more goes out and nothing is handed on.
class PressAbandoned : public Error {
  public:
    using Error::Error;
};

// Ends the grab under way, if any, at its next wait with PressAbandoned.
void AbandonGrab();

// Brings the window titled `windowTitle` to the front (none when empty: the
// window in front now is the source), waits until Ctrl, Shift and Alt are
// released and, for the grab type "Cursor", copies the selection, or the whole
// line when nothing is selected. Keys only ever go to the source: one no longer
// in front is brought back, and when it will not come the press is abandoned.
// Returns the clipboard's text afterwards. A failure shows the activation error
// box, which names the title given (the one configured), and yields empty
// text; an abandoned press throws PressAbandoned and shows nothing.
std::string GrabWindowText(const std::string& windowTitle, const std::string& grabType);

}  // namespace vantrel
