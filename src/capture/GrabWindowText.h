#pragma once

#include <chrono>
#include <string>

#include "capture/Press.h"

namespace vantrel {

// How long a grab waits for the source program to answer one copy keystroke
// before taking it that nothing was copied.
constexpr std::chrono::milliseconds kCopyWaitBound{500};

// How long a grab waits for the source window to become the foreground window
// before it looks into why.
constexpr std::chrono::milliseconds kActivationWaitBound{300};

// How long a grab goes on waiting for a copy, or for the source to come to the
// front, while the source program has not yet read its messages (a program
// busy elsewhere, or over a slow remote session).
constexpr std::chrono::milliseconds kBusySourceWaitBound{5000};

// How long a grab waits, after a copy that came late, for the fallback's copy
// behind it: the fallback went out a copy bound after the first copy, and its
// copy travels as long.
constexpr std::chrono::milliseconds kLateCopyBound{2 * kCopyWaitBound};

// How long the wait for Ctrl, Shift and Alt lasts before the log says so once,
// and before the press is given up: a press that fired once a lost key-up was
// made good, perhaps half an hour later, would copy whatever is in front then.
constexpr std::chrono::milliseconds kModifierWaitNotice{3000};
constexpr std::chrono::milliseconds kModifierWaitBound{10000};

// Brings the window titled `windowTitle` to the front (none when empty: the
// window in front now is the source), waits until Ctrl, Shift and Alt are
// released and, for the grab type "Cursor", copies the selection, or the whole
// line when nothing is selected. Keys only ever go to the source: one no longer
// in front is brought back, and when another window keeps the front the press
// is abandoned. Every copy the grab asked for has landed or been given up on
// when it returns, and the clipboard holds what it returns. A failure (a
// source program that never answers included) shows the activation error box,
// which names the title given (the one configured), and yields empty text; an
// abandoned press throws PressAbandoned and shows nothing.
std::string GrabWindowText(const std::string& windowTitle, const std::string& grabType);

}  // namespace vantrel
