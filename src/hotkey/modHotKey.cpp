#include "hotkey/modHotKey.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "capture/Press.h"
#include "link/clsAppLink.h"
#include "platform/Desktop.h"
#include "platform/ErrorBox.h"

namespace vantrel::modHotKey {

namespace {

// The procedure the main window had before ours; 0 until the first Hook.
ProcAddress gPreviousProc = 0;
std::function<WindowHandle()> gMainWindow;
// What waits for the press under way to end (AfterPress).
std::vector<std::function<void()>> gAfterPress;
// Hotkey messages dropped during the current cycle, and whether the log has
// said so yet (once per cycle is enough to tell support).
int gDropped = 0;
bool gDropLogged = false;
// When the last cycle ended, on the clock of the messages' time stamps.
std::optional<std::uint32_t> gCycleEnd;
// How long before a cycle's end a press may have been made whose message the
// system handed on only after it: a program in front that was busy meanwhile.
constexpr std::uint32_t kLatePressWindowMs = 10'000;

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
    Press::Check();
    const std::shared_ptr<colFields> fields = link.colFields();
    const std::string captured = fields->Item(1)->value();
    if (captured.empty()) {
        CurrentDesktop().boxes.Show("no data found", kCaption, Modality::System);
        return;
    }
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
    while (vk != 0 && !Press::IsAbandoned()) {
        const int dropped = gDropped;
        if (!d.loop.PumpUntil(
                [&] {
                    return Press::IsAbandoned() || gDropped != dropped || !d.keyboard.IsKeyDown(vk);
                },
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
// comes only after the cycle has ended but its key went down in the few
// seconds before: the system may hand on a key late while the program in
// front is busy. The clock wraps (49.7 days) and counts sleep too, so only
// the distance back from the cycle's end is compared, never the times.
bool IsDropped() {
    if (Press::UnderWay())
        return true;
    if (!gCycleEnd)
        return false;
    const std::uint32_t beforeEnd = *gCycleEnd - CurrentDesktop().loop.MessageTime();
    return beforeEnd != 0 && beforeEnd <= kLatePressWindowMs;
}

void NoteDropped() {
    ++gDropped;
    if (gDropLogged)
        return;
    gDropLogged = true;
    LogEvent("press dropped: the hotkey came again while a press was under way");
}

// One press from its hotkey to its key's release. Returns whether it failed;
// its box is shown by then.
bool RunPress(std::intptr_t lParam) {
    gDropped = 0;
    gDropLogged = false;
    bool failed = false;
    try {
        RunHotKeyCycle();
    } catch (const PressAbandoned& e) {
        // The user moved on, or the program is closing: no box.
        LogEvent(std::string("press: abandoned: ") + e.what());
    } catch (...) {
        ShowErrorBox(Handler::modHotKey_WindowProc, DescriptionOf(std::current_exception()));
        failed = true;
    }
    // The key is in the message's high word.
    AwaitRelease(static_cast<int>((static_cast<std::uintptr_t>(lParam) >> 16) & 0xFFFF));
    gCycleEnd = CurrentDesktop().loop.Ticks();
    return failed;
}

// One physical press is one cycle: a hotkey message that arrives while a cycle
// is under way (a repeat of the held key, or a press during the grab's wait) is
// only handed on. Returns whether the cycle failed.
bool RunOneCyclePerPress(std::intptr_t lParam) {
    bool failed = false;
    {
        const Press::Scope press;
        failed = RunPress(lParam);
    }
    // Taken before running: an action may ask for another.
    for (const std::function<void()>& action : std::exchange(gAfterPress, {})) action();
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
    Press::Abandon();
}

void AfterPress(std::function<void()> action) {
    if (!Press::UnderWay()) {
        action();
        return;
    }
    gAfterPress.push_back(std::move(action));
}

void SetMainWindow(std::function<WindowHandle()> handleOfMainWindow) {
    gMainWindow = std::move(handleOfMainWindow);
}

void Reset() {
    gPreviousProc = 0;
    gAfterPress.clear();
    gCycleEnd.reset();
    gMainWindow = nullptr;
}

}  // namespace vantrel::modHotKey
