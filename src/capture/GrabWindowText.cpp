#include "capture/GrabWindowText.h"

#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <string>

#include "capture/KeystrokeNotation.h"
#include "platform/Desktop.h"
#include "platform/ErrorBox.h"
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

// A wait of the grab, which an abandoned press ends at once.
bool Await(Desktop& d, const std::function<bool()>& done,
           std::optional<std::chrono::milliseconds> bound) {
    const bool held = d.loop.PumpUntil([&] { return Press::IsAbandoned() || done(); }, bound);
    Press::Check();
    return held;
}

// The hotkey's own modifiers would turn the copy keystrokes into other
// commands; wait as long as the user holds them. A key-up lost on the way (a
// remote session, a KVM switch) makes that a long time, which the log tells,
// and beyond the bound the press is given up rather than fired much later.
void AwaitModifiersReleased(Desktop& d) {
    const auto released = [&] { return !AnyModifierDown(d.keyboard); };
    if (!AnyModifierDown(d.keyboard) || Await(d, released, kModifierWaitNotice))
        return;
    LogEvent("press: waiting for Ctrl, Shift and Alt to be released");
    if (!Await(d, released, kModifierWaitBound - kModifierWaitNotice))
        throw PressAbandoned("Ctrl, Shift or Alt was still down 10 s after the hotkey");
}

// Whether the source has come back to its messages. Asked twice: the first
// answer may come just before it takes up the keys still queued behind them (a
// program answers such questions first), the second only after it has handled
// what it took up next.
bool SourceIsReading(Desktop& d, WindowHandle source) {
    return !d.windows.IsBusy(source) && !d.windows.IsBusy(source);
}

// Waits for the source to take the front after it was activated. A program
// busy elsewhere takes the activation only once it is back at its messages,
// so it is waited for as long as a busy source at the copy; one that never
// answers fails the press. False: the source answers, but is not in front.
bool AwaitFront(Desktop& d, WindowHandle source) {
    const auto inFront = [&] { return d.windows.IsForeground(source); };
    if (Await(d, inFront, kActivationWaitBound))
        return true;
    if (!d.windows.IsBusy(source))
        return false;
    if (!Await(
            d, [&] { return inFront() || SourceIsReading(d, source); }, kBusySourceWaitBound))
        throw Error("the source program did not answer for 5 s");
    return inFront() || Await(d, inFront, kActivationWaitBound);
}

// Keys go to whichever window is in front. The user may have moved to another
// program meanwhile (or a dialog of ours came up): the source is brought back,
// and when another window keeps the front, no key goes anywhere else.
void SendToSource(Desktop& d, WindowHandle source, const char* keystrokes) {
    if (!d.windows.IsForeground(source)) {
        if (source != 0)
            d.windows.Activate(source);
        if (source == 0 || !AwaitFront(d, source))
            throw PressAbandoned("the source window is no longer in front");
    }
    // The checks above let messages run: Exit or Settings may have come.
    Press::Check();
    d.keyboard.Send(ParseKeystrokes(keystrokes));
}

enum class Copy { Landed, Nothing, Busy };

// Waits for a copy the source was asked for. Nothing landing within the bound
// means nothing was copied only once the source has read its keys: a program
// still busy copies later, and a fallback's keys would then copy the whole
// line over the user's selection. A copy that is certain to come (an edit
// control said text is selected) is awaited for as long as a busy source is,
// whether or not the source answers meanwhile: its keys may simply not have
// reached it yet. One certain not to come is not awaited at all.
Copy AwaitCopy(Desktop& d, WindowHandle source, const std::function<bool()>& landed, Selection said,
               std::chrono::milliseconds bound) {
    if (said == Selection::Empty || said == Selection::NeverCopies)
        return Copy::Nothing;
    if (said == Selection::NotEmpty)
        return Await(d, landed, kBusySourceWaitBound) ? Copy::Landed : Copy::Busy;
    if (Await(d, landed, bound))
        return Copy::Landed;
    if (SourceIsReading(d, source))
        return Copy::Nothing;
    const bool settled = Await(
        d, [&] { return landed() || SourceIsReading(d, source); }, kBusySourceWaitBound);
    return landed() ? Copy::Landed : settled ? Copy::Nothing : Copy::Busy;
}

// The first copy's keys had been read and nothing had come when the fallback
// went out. A source whose copies travel (a remote session) lands them late
// and in order, so what just landed may be the first copy, the fallback's
// still on its way: it would replace the value once the runner reads the
// clipboard. So the press waits for it, and then puts the first copy back.
// A change that leaves the same text is no second copy (the line of a single
// cell, or the system touching the clipboard). `captured` is what landed, and
// becomes the fallback's copy when that landing brought nothing. Returns
// whether there were two copies, the first one put back.
bool AwaitCopyBehind(Desktop& d, WindowHandle source, std::string& captured) {
    std::uint32_t seen = d.clipboard.SequenceNumber();
    std::string now = captured;
    const auto another = [&] {
        if (d.clipboard.SequenceNumber() == seen)
            return false;
        seen = d.clipboard.SequenceNumber();
        now = d.clipboard.ReadText();
        return now != captured;
    };
    if (AwaitCopy(d, source, another, Selection::Unknown, kLateCopyBound) != Copy::Landed)
        return false;
    if (captured.empty()) {
        captured = now;
        return false;
    }
    Press::Check();
    d.clipboard.WriteText(captured);
    return true;
}

// How the press was captured and how long the value is; never the value.
void LogPress(const char* how, const std::string& captured) {
    LogEvent(captured.empty() ? std::string("press: nothing captured")
                              : "press: captured " + std::string(how) + ", " +
                                    std::to_string(Utf8CharacterCount(captured)) + " characters");
}

std::string StayedBusy() {
    LogEvent("press: the source program stayed busy; nothing taken");
    return std::string();
}

// The copy, and the whole line when it brings nothing. Empty when the source
// stayed busy: whatever it copies later cannot be told from what it was
// asked for, so nothing is taken.
std::string CopyAtTheCursor(Desktop& d, WindowHandle source) {
    // An edit control that says nothing is selected will copy nothing: the
    // copy still goes out, but the half-second wait for it would be spent for
    // nothing. Any other control may copy something all the same (a grid
    // copies its current cell), so it gets the wait.
    const Selection said = d.windows.FocusedSelection(source);
    std::uint32_t before = d.clipboard.SequenceNumber();
    const auto landed = [&] { return d.clipboard.SequenceNumber() != before; };
    SendToSource(d, source, kCopy);
    Copy copy = AwaitCopy(d, source, landed, said, kCopyWaitBound);
    // What the clipboard holds decides, not the wait: a copy that lands just
    // after the bound still holds the user's selection, which the fallback
    // keys would replace with the whole line.
    if (copy == Copy::Busy)
        return StayedBusy();
    const std::uint32_t read = d.clipboard.SequenceNumber();
    std::string captured = d.clipboard.ReadText();
    if (!captured.empty()) {
        LogPress("the selection", captured);
        return captured;
    }
    // Counted from before the read: a first copy landing just after it is
    // still seen below as one that came late.
    const bool firstMayCome = copy == Copy::Nothing && said == Selection::Unknown;
    before = read;
    SendToSource(d, source, kCopyWholeLine);
    copy = AwaitCopy(d, source, landed, said == Selection::NeverCopies ? said : Selection::Unknown,
                     kCopyWaitBound);
    if (copy == Copy::Busy)
        return StayedBusy();
    captured = d.clipboard.ReadText();
    const bool two = copy == Copy::Landed && firstMayCome && AwaitCopyBehind(d, source, captured);
    LogPress(two ? "the selection" : "the line", captured);
    return captured;
}

}  // namespace

std::string GrabWindowText(const std::string& windowTitle, const std::string& grabType) {
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
            // Whether it came is judged again as the keys are due.
            AwaitFront(d, source);
        }
        AwaitModifiersReleased(d);
        d.loop.ProcessPending();
        Press::Check();
        if (grabType == "Cursor")
            return CopyAtTheCursor(d, source);
        const std::string captured = d.clipboard.ReadText();
        LogPress("as the clipboard held it", captured);
        return captured;
    } catch (const PressAbandoned&) {
        throw;
    } catch (const std::exception& e) {
        const std::string box = "error activating: '" + windowTitle + "' window.";
        LogFailure(std::string("press: grab failed: ") + e.what() + "; shown: " + box);
        CurrentDesktop().boxes.Show(box, "Vantrel", Modality::System);
        return std::string();
    }
}

}  // namespace vantrel
