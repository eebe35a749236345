#include "hotkey/modHotKey.h"

#include <exception>
#include <string>
#include <string_view>
#include <utility>

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
// while it still counts as under way.
void AwaitRelease(int vk) {
    Desktop& d = CurrentDesktop();
    if (vk != 0) d.loop.PumpUntil([&] { return !d.keyboard.IsKeyDown(vk); }, std::nullopt);
    d.loop.ProcessPending();
}

// One physical press is one cycle: a hotkey message that arrives while a cycle
// is under way (a repeat of the held key, or a press during the grab's wait) is
// only handed on. Returns whether the cycle failed; its box is shown by then.
bool RunOneCyclePerPress(std::intptr_t lParam) {
    const FlagScope underWay(gCycleUnderWay);
    bool failed = false;
    try {
        RunHotKeyCycle();
    } catch (...) {
        ShowErrorBox(Handler::modHotKey_WindowProc, DescriptionOf(std::current_exception()));
        failed = true;
    }
    // The key is in the message's high word.
    AwaitRelease(static_cast<int>((static_cast<std::uintptr_t>(lParam) >> 16) & 0xFFFF));
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
        if (previous != ours && previous != 0) gPreviousProc = previous;
    } catch (...) {
        ShowErrorBox(Handler::modHotKey_Hook, DescriptionOf(std::current_exception()));
    }
}

// The saved procedure stays saved, so repeating Unhook puts the same one back.
// With nothing ever saved there is nothing to put back.
void Unhook(WindowHandle hwnd) {
    try {
        if (gPreviousProc == 0) return;
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
        if (IsMainWindow(hwnd) && msg == kWmHotKey && !gCycleUnderWay &&
            RunOneCyclePerPress(lParam))
            return 0;
        return CurrentDesktop().procs.CallProc(gPreviousProc, hwnd, msg, wParam, lParam);
    } catch (...) {
        ShowErrorBox(Handler::modHotKey_WindowProc, DescriptionOf(std::current_exception()));
        return 0;
    }
}

void SetMainWindow(std::function<WindowHandle()> handleOfMainWindow) {
    gMainWindow = std::move(handleOfMainWindow);
}

void Reset() {
    gPreviousProc = 0;
    gCycleUnderWay = false;
    gMainWindow = nullptr;
}

}  // namespace vantrel::modHotKey
