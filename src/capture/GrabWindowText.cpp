#include "capture/GrabWindowText.h"

#include <cstdint>
#include <exception>
#include <optional>
#include <string>

#include "capture/KeystrokeNotation.h"
#include "platform/Desktop.h"
#include "platform/Types.h"
#include "platform/Utf8.h"

namespace vantrel {

namespace {

constexpr const char* kCopy = "^c";
constexpr const char* kCopyWholeLine = "{home}+{end}^c";

// All three are queried on every pass: each query also consumes the key's
// "pressed since the last query" state.
bool AnyModifierDown(Keyboard& keyboard) {
    const bool ctrl = keyboard.IsKeyDown(kVkControl);
    const bool shift = keyboard.IsKeyDown(kVkShift);
    const bool alt = keyboard.IsKeyDown(kVkMenu);
    return ctrl || shift || alt;
}

// Sends the keystrokes and waits until the clipboard changes, since the source
// program copies in its own time; nothing changing within the bound is taken
// to mean that nothing was copied.
void SendAndAwaitCopy(Desktop& d, const char* keystrokes) {
    const std::uint32_t before = d.clipboard.SequenceNumber();
    d.keyboard.Send(ParseKeystrokes(keystrokes));
    d.loop.PumpUntil([&] { return d.clipboard.SequenceNumber() != before; }, kCopyWaitBound);
}

// How the press was captured and how long the value is; never the value.
void LogPress(const char* how, const std::string& captured) {
    LogEvent(captured.empty() ? std::string("press: nothing captured")
                              : "press: captured " + std::string(how) + ", " +
                                    std::to_string(Utf8CharacterCount(captured)) + " characters");
}

}  // namespace

std::string GrabWindowText(const std::string& windowTitle, const std::string& grabType) {
    try {
        Desktop& d = CurrentDesktop();
        d.clipboard.Clear();
        d.loop.ProcessPending();
        WindowHandle source = 0;  // none: the foreground window
        if (!windowTitle.empty()) {
            source = d.windows.ActivateByTitle(windowTitle);
            d.loop.ProcessPending();
            // Keystrokes go to whichever window is in front when they are read, so
            // sent too early they would copy from (or type into) the previous one.
            d.loop.PumpUntil([&] { return d.windows.IsForeground(source); }, kActivationWaitBound);
        }
        // The hotkey's own modifiers would turn the copy keystrokes into other
        // commands; wait as long as the user holds them.
        if (AnyModifierDown(d.keyboard))
            d.loop.PumpUntil([&] { return !AnyModifierDown(d.keyboard); }, std::nullopt);
        d.loop.ProcessPending();
        if (grabType == "Cursor") {
            // An edit control that says nothing is selected will copy nothing:
            // the copy still goes out, but the half-second wait for it would be
            // spent for nothing. Any other control may copy something all the
            // same (a grid copies its current cell), so it gets the wait.
            if (d.windows.FocusedSelection(source) == Selection::Empty)
                d.keyboard.Send(ParseKeystrokes(kCopy));
            else
                SendAndAwaitCopy(d, kCopy);
            // What the clipboard holds decides, not the wait: a copy that lands
            // just after the bound still holds the user's selection, which the
            // fallback keys would replace with the whole line.
            const bool selection = !d.clipboard.ReadText().empty();
            if (!selection) SendAndAwaitCopy(d, kCopyWholeLine);
            const std::string captured = d.clipboard.ReadText();
            LogPress(selection ? "the selection" : "the line", captured);
            return captured;
        }
        const std::string captured = d.clipboard.ReadText();
        LogPress("as the clipboard held it", captured);
        return captured;
    } catch (const std::exception& e) {
        LogEvent(std::string("press: grab failed: ") + e.what());
        CurrentDesktop().boxes.Show("error activating: '" + windowTitle + "' window.", "Vantrel",
                                    Modality::System);
        return std::string();
    }
}

}  // namespace vantrel
