#include "capture/GrabWindowText.h"

#include <cstdint>
#include <exception>
#include <functional>
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

// Set by AbandonGrab, cleared as each grab begins.
bool gAbandoned = false;

void ThrowIfAbandoned() {
    if (gAbandoned)
        throw PressAbandoned("the press was abandoned");
}

// All three are queried on every pass: each query also consumes the key's
// "pressed since the last query" state.
bool AnyModifierDown(Keyboard& keyboard) {
    const bool ctrl = keyboard.IsKeyDown(kVkControl);
    const bool shift = keyboard.IsKeyDown(kVkShift);
    const bool alt = keyboard.IsKeyDown(kVkMenu);
    return ctrl || shift || alt;
}

// A wait of the grab, which an abandoned press ends at once.
bool Await(Desktop& d, const std::function<bool()>& done,
           std::optional<std::chrono::milliseconds> bound) {
    const bool held = d.loop.PumpUntil([&] { return gAbandoned || done(); }, bound);
    ThrowIfAbandoned();
    return held;
}

// The hotkey's own modifiers would turn the copy keystrokes into other
// commands; wait as long as the user holds them. A key-up lost on the way (a
// remote session, a KVM switch) makes that a long time, which the log tells.
void AwaitModifiersReleased(Desktop& d) {
    const auto released = [&] { return !AnyModifierDown(d.keyboard); };
    if (!AnyModifierDown(d.keyboard) || Await(d, released, kModifierWaitNotice))
        return;
    LogEvent("press: waiting for Ctrl, Shift and Alt to be released");
    Await(d, released, std::nullopt);
}

// Keys go to whichever window is in front. The user may have moved to another
// program meanwhile (or a dialog of ours came up): the source is brought back,
// and when it does not come, no key goes anywhere else.
void EnsureSourceInFront(Desktop& d, WindowHandle source) {
    if (d.windows.IsForeground(source))
        return;
    if (source != 0) {
        d.windows.Activate(source);
        if (Await(
                d, [&] { return d.windows.IsForeground(source); }, kActivationWaitBound))
            return;
    }
    throw PressAbandoned("the source window is no longer in front");
}

// Whether the source has come back to its messages. Asked twice: the first
// answer may come just before it takes up the keys still queued behind it (a
// program answers such questions first), the second only after it has handled
// what it took up next.
bool SourceIsReading(Desktop& d, WindowHandle source) {
    return !d.windows.IsBusy(source) && !d.windows.IsBusy(source);
}

// Sends the keystrokes to the source and waits until the clipboard changes,
// since the source program copies in its own time. Nothing changing within the
// bound means nothing was copied only once the source has read its keys: a
// program still busy copies later, and the fallback's keys would then copy
// the whole line over the user's selection. A copy that is certain to come (an
// edit control said text is selected) is awaited for as long as a busy source
// is, whether or not the source answers meanwhile: its keys may simply not have
// reached it yet. Returns whether nothing came of a copy that should have.
bool SendAndAwaitCopy(Desktop& d, WindowHandle source, const char* keystrokes, Selection said) {
    EnsureSourceInFront(d, source);
    const std::uint32_t before = d.clipboard.SequenceNumber();
    d.keyboard.Send(ParseKeystrokes(keystrokes));
    if (said == Selection::Empty)
        return false;
    const auto copied = [&] { return d.clipboard.SequenceNumber() != before; };
    if (said == Selection::NotEmpty)
        return !Await(d, copied, kBusySourceWaitBound);
    if (Await(d, copied, kCopyWaitBound) || SourceIsReading(d, source))
        return false;
    return !Await(
        d, [&] { return copied() || SourceIsReading(d, source); }, kBusySourceWaitBound);
}

// How the press was captured and how long the value is; never the value.
void LogPress(const char* how, const std::string& captured) {
    LogEvent(captured.empty() ? std::string("press: nothing captured")
                              : "press: captured " + std::string(how) + ", " +
                                    std::to_string(Utf8CharacterCount(captured)) + " characters");
}

}  // namespace

void AbandonGrab() {
    gAbandoned = true;
}

std::string GrabWindowText(const std::string& windowTitle, const std::string& grabType) {
    gAbandoned = false;
    try {
        Desktop& d = CurrentDesktop();
        d.clipboard.Clear();
        d.loop.ProcessPending();
        // With no title, the window in front as the press began is the source.
        WindowHandle source = d.windows.Foreground();
        if (!windowTitle.empty()) {
            source = d.windows.ActivateByTitle(windowTitle);
            d.loop.ProcessPending();
            // Keystrokes go to whichever window is in front when they are read, so
            // sent too early they would copy from (or type into) the previous one.
            Await(
                d, [&] { return d.windows.IsForeground(source); }, kActivationWaitBound);
        }
        AwaitModifiersReleased(d);
        d.loop.ProcessPending();
        ThrowIfAbandoned();
        if (grabType == "Cursor") {
            // An edit control that says nothing is selected will copy nothing:
            // the copy still goes out, but the half-second wait for it would be
            // spent for nothing. Any other control may copy something all the
            // same (a grid copies its current cell), so it gets the wait.
            bool busy = SendAndAwaitCopy(d, source, kCopy, d.windows.FocusedSelection(source));
            // What the clipboard holds decides, not the wait: a copy that lands
            // just after the bound still holds the user's selection, which the
            // fallback keys would replace with the whole line.
            const bool selection = !d.clipboard.ReadText().empty();
            if (!selection && !busy)
                busy = SendAndAwaitCopy(d, source, kCopyWholeLine, Selection::Unknown);
            if (busy) {
                // Its keys are still unread: whatever it copies later cannot be
                // told from what it was asked for, so nothing is taken.
                LogEvent("press: the source program stayed busy; nothing taken");
                return std::string();
            }
            const std::string captured = d.clipboard.ReadText();
            LogPress(selection ? "the selection" : "the line", captured);
            return captured;
        }
        const std::string captured = d.clipboard.ReadText();
        LogPress("as the clipboard held it", captured);
        return captured;
    } catch (const PressAbandoned& e) {
        LogEvent(std::string("press: abandoned: ") + e.what());
        throw;
    } catch (const std::exception& e) {
        LogEvent(std::string("press: grab failed: ") + e.what());
        CurrentDesktop().boxes.Show("error activating: '" + windowTitle + "' window.", "Vantrel",
                                    Modality::System);
        return std::string();
    }
}

}  // namespace vantrel
