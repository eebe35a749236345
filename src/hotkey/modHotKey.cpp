#include "hotkey/modHotKey.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "capture/GrabWindowText.h"
#include "link/clsAppLink.h"
#include "platform/Desktop.h"
#include "platform/ErrorBox.h"
#include "platform/FlagScope.h"

namespace vantrel::modHotKey {

namespace {

// The procedure the main window had before ours; 0 until the first Hook.
ProcAddress gPreviousProc = 0;
std::function<WindowHandle()> gMainWindow;
// Set from a hotkey's arrival until its key has been let go.
bool gCycleUnderWay = false;
// Waits for the press under way to end: a press finishes with what it began with.
std::function<void()> gAfterPress;
// Set when the cycle under way must come to nothing (AbandonPress).
bool gAbandoned = false;
// Hotkey messages dropped during the current cycle, and whether the log has
// said so yet (once per cycle is enough to tell support).
int gDropped = 0;
bool gDropLogged = false;
// When the last cycle ended, on the clock of the messages' time stamps.
std::optional<std::uint32_t> gCycleEnd;

constexpr std::string_view kCaption = "Vantrel";

bool IsMainWindow(WindowHandle hwnd) {
    // A copy: the provider may be replaced by a handler running inside it.
    const std::function<WindowHandle()> mainWindow = gMainWindow;
    return mainWindow && mainWindow() == hwnd;
}

// One capture and its hand-off. Every object used here is held for the whole
// cycle, since the grab's waits let other handlers run.
void RunHotKeyCycle() {
    clsAppLink& link = AppLink();
    link.GrabData();
    if (gAbandoned)
        return;
    const std::shared_ptr<colFields> fields = link.colFields();
    const std::string captured = fields->Item(1)->value();
    if (captured.empty()) {
        CurrentDesktop().boxes.Show("no data found", kCaption, Modality::System);
        return;
    }
    if (gAbandoned)
        return;
    if (link.ProcedureType() == kIndexProcedure) {
        link.RunIndex();
    } else {
        link.RunSearch();
    }
}

// A held key repeats, and each repeat is another hotkey message (the platform
// may drop repeats when asked, but not every one does). The cycle therefore
// lasts until the key is let go, and the repeats queued before that pass by
// while it still counts as under way. A key whose release was lost reads as
// down for good but does not repeat: once no repeat has come for well over
// the keyboard's repeat delay, it is taken as let go, so that it cannot
// swallow every later press.
void AwaitRelease(int vk) {
    Desktop& d = CurrentDesktop();
    const auto quiet = std::max(2 * d.keyboard.RepeatDelay(), std::chrono::milliseconds(1000));
    while (vk != 0 && !gAbandoned) {
        const int dropped = gDropped;
        if (!d.loop.PumpUntil(
                [&] { return gAbandoned || gDropped != dropped || !d.keyboard.IsKeyDown(vk); },
                quiet)) {
            LogEvent(
                "press: the hotkey's key reads as held but does not repeat; taken as released");
            break;
        }
        if (gDropped == dropped)
            break;
    }
    d.loop.ProcessPending();
}

// A press is dropped while a cycle is under way, and also when its message
// comes only after the cycle has ended but its key went down before: the
// system may hand on a key late while the program in front is busy.
bool IsDropped() {
    if (gCycleUnderWay)
        return true;
    if (!gCycleEnd)
        return false;
    const auto sinceEnd =
        static_cast<std::int32_t>(CurrentDesktop().loop.MessageTime() - *gCycleEnd);
    return sinceEnd < 0;
}

void NoteDropped() {
    ++gDropped;
    if (gDropLogged)
        return;
    gDropLogged = true;
    LogEvent("press dropped: the hotkey came again while a press was under way");
}

// One physical press is one cycle: a hotkey message that arrives while a cycle
// is under way (a repeat of the held key, or a press during the grab's wait) is
// only handed on. Returns whether the cycle failed; its box is shown by then.
bool RunOneCyclePerPress(std::intptr_t lParam) {
    const FlagScope underWay(gCycleUnderWay);
    gAbandoned = false;
    gDropped = 0;
    gDropLogged = false;
    bool failed = false;
    try {
        RunHotKeyCycle();
    } catch (const PressAbandoned&) {
        // Said in the log by the grab; the user moved on or the program is closing.
    } catch (...) {
        ShowErrorBox(Handler::modHotKey_WindowProc, DescriptionOf(std::current_exception()));
        failed = true;
    }
    // The key is in the message's high word.
    AwaitRelease(static_cast<int>((static_cast<std::uintptr_t>(lParam) >> 16) & 0xFFFF));
    gCycleEnd = CurrentDesktop().loop.Ticks();
    if (auto after = std::exchange(gAfterPress, nullptr))
        after();
    return failed;
}

}  // namespace

// Installing over our own procedure hands back our own address; saving that
// would send every message to WindowProc again without end, so the window's
// own procedure saved earlier is kept. A refused installation (0) keeps it too,
// so a later Unhook never writes a null procedure into the window.
void Hook(WindowHandle hwnd) {
    try {
        WindowProcs& procs = CurrentDesktop().procs;
        const ProcAddress ours = procs.AddressOf(&WindowProc);
        const ProcAddress previous = procs.Install(hwnd, ours);
        if (previous != ours && previous != 0)
            gPreviousProc = previous;
    } catch (...) {
        ShowErrorBox(Handler::modHotKey_Hook, DescriptionOf(std::current_exception()));
    }
}

// The saved procedure stays saved, so repeating Unhook puts the same one back.
// With nothing ever saved there is nothing to put back.
void Unhook(WindowHandle hwnd) {
    try {
        if (gPreviousProc == 0)
            return;
        CurrentDesktop().procs.Install(hwnd, gPreviousProc);
    } catch (...) {
        ShowErrorBox(Handler::modHotKey_Unhook, DescriptionOf(std::current_exception()));
    }
}

// A failed cycle answers 0 and keeps the message from the previous procedure.
std::intptr_t WindowProc(WindowHandle hwnd, std::uint32_t msg, std::uintptr_t wParam,
                         std::intptr_t lParam) {
    try {
        // Any hotkey of the main window starts a cycle: there is only one.
        if (IsMainWindow(hwnd) && msg == kWmHotKey) {
            if (IsDropped()) {
                NoteDropped();
            } else if (RunOneCyclePerPress(lParam)) {
                return 0;
            }
        }
        return CurrentDesktop().procs.CallProc(gPreviousProc, hwnd, msg, wParam, lParam);
    } catch (...) {
        ShowErrorBox(Handler::modHotKey_WindowProc, DescriptionOf(std::current_exception()));
        return 0;
    }
}

void AbandonPress() {
    if (!gCycleUnderWay)
        return;
    gAbandoned = true;
    AbandonGrab();
}

void AfterPress(std::function<void()> action) {
    if (gCycleUnderWay)
        gAfterPress = std::move(action);
    else
        action();
}

void SetMainWindow(std::function<WindowHandle()> handleOfMainWindow) {
    gMainWindow = std::move(handleOfMainWindow);
}

void Reset() {
    gPreviousProc = 0;
    gCycleUnderWay = false;
    gAfterPress = nullptr;
    gAbandoned = false;
    gCycleEnd.reset();
    gMainWindow = nullptr;
}

}  // namespace vantrel::modHotKey
