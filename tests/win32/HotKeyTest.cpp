// The hotkey on a real hidden window: armed with the real registration, atom
// and subclassing, pressed from outside the program through the X server, and
// turned into a capture cycle that the in-memory desktop records.

#include <windows.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "Win32TestSupport.h"
#include "fake/FakeDesktop.h"
#include "hotkey/HotKeyArming.h"
#include "hotkey/modHotKey.h"
#include "link/IndexScript.h"
#include "link/clsAppLink.h"
#include "platform/win32/Unicode.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32GlobalAtoms.h"
#include "platform/win32/Win32HotKeys.h"
#include "platform/win32/Win32WindowProcs.h"

namespace vantrel {
namespace {

using testing::LastErrorText;

// A key combination in both of its forms: the settings' (1 Shift, 2 Ctrl,
// 4 Alt) and the registration's (1 Alt, 2 Control, 4 Shift).
struct Combination {
    std::int16_t hotKeyShift;
    UINT modifiers;
    UINT vk;  // an F-key
};
constexpr Combination kCtrlShiftF9{3, MOD_CONTROL | MOD_SHIFT, VK_F9};
constexpr Combination kBareF8{0, 0, VK_F8};

// --- the other process that holds a combination

// A copy of this test binary started with this variable set ("modifiers vk
// ready-event release-event") registers the combination on a hidden window of
// its own, signals, and keeps it until told to let go; it never runs the tests.
constexpr wchar_t kHolderVariable[] = L"VANTREL_TEST_HOTKEY_HOLDER";

[[maybe_unused]] const bool gHolderMode = [] {
    wchar_t value[512] = {};
    const DWORD n =
        GetEnvironmentVariableW(kHolderVariable, value, static_cast<DWORD>(std::size(value)));
    if (n == 0 || n >= std::size(value))
        return false;
    UINT modifiers = 0;
    UINT vk = 0;
    wchar_t ready[200] = {};
    wchar_t release[200] = {};
    if (swscanf(value, L"%u %u %199ls %199ls", &modifiers, &vk, ready, release) != 4)
        ExitProcess(3);
    const win32::UniqueHwnd window(CreateWindowExW(0, L"STATIC", L"hotkey holder", 0, 0, 0, 0, 0,
                                                   nullptr, nullptr, nullptr, nullptr));
    if (!window || !RegisterHotKey(window.get(), 1, modifiers, vk))
        ExitProcess(2);
    const win32::UniqueHandleObj readyEvent(OpenEventW(EVENT_MODIFY_STATE, FALSE, ready));
    const win32::UniqueHandleObj releaseEvent(OpenEventW(SYNCHRONIZE, FALSE, release));
    if (!readyEvent || !releaseEvent)
        ExitProcess(4);
    SetEvent(readyEvent.get());
    // Bounded, so a parent that died cannot leave the holder behind.
    const ULONGLONG giveUp = GetTickCount64() + 60'000;
    const HANDLE waitFor = releaseEvent.get();
    while (GetTickCount64() < giveUp) {
        if (MsgWaitForMultipleObjects(1, &waitFor, FALSE, 100, QS_ALLINPUT) == WAIT_OBJECT_0)
            break;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    UnregisterHotKey(window.get(), 1);
    ExitProcess(0);
}();

// Runs the holder and keeps it alive for the object's lifetime.
class HolderProcess {
  public:
    explicit HolderProcess(const Combination& c) {
        const std::wstring readyName = testing::UniqueName(L"VantrelHolderReady");
        const std::wstring releaseName = testing::UniqueName(L"VantrelHolderRelease");
        ready_.reset(CreateEventW(nullptr, TRUE, FALSE, readyName.c_str()));
        release_.reset(CreateEventW(nullptr, TRUE, FALSE, releaseName.c_str()));
        if (!ready_ || !release_) {
            ADD_FAILURE() << "CreateEventW: " << LastErrorText();
            return;
        }
        const std::wstring request = std::to_wstring(c.modifiers) + L" " + std::to_wstring(c.vk) +
                                     L" " + readyName + L" " + releaseName;
        wchar_t module[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, module, MAX_PATH);
        std::wstring commandLine = L"\"" + std::wstring(module) + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started{};
        SetEnvironmentVariableW(kHolderVariable, request.c_str());
        const BOOL ok = CreateProcessW(module, commandLine.data(), nullptr, nullptr, FALSE, 0,
                                       nullptr, nullptr, &startup, &started);
        SetEnvironmentVariableW(kHolderVariable, nullptr);
        if (!ok) {
            ADD_FAILURE() << "starting the holder: " << LastErrorText();
            return;
        }
        process_.reset(started.hProcess);
        CloseHandle(started.hThread);
    }
    ~HolderProcess() {
        if (release_)
            SetEvent(release_.get());
        if (process_)
            WaitForSingleObject(process_.get(), 30'000);
    }
    HolderProcess(const HolderProcess&) = delete;
    HolderProcess& operator=(const HolderProcess&) = delete;

    // True once the holder has registered the combination.
    ::testing::AssertionResult Holding() const {
        if (!process_)
            return ::testing::AssertionFailure() << "no holder process";
        const HANDLE handles[] = {ready_.get(), process_.get()};
        const DWORD which = WaitForMultipleObjects(2, handles, FALSE, 30'000);
        if (which == WAIT_OBJECT_0)
            return ::testing::AssertionSuccess();
        DWORD code = 0;
        GetExitCodeProcess(process_.get(), &code);
        return ::testing::AssertionFailure()
               << "the holder did not register the combination (exit code " << code
               << ", wait result " << which << ")";
    }
    ::testing::AssertionResult LetGo() {
        SetEvent(release_.get());
        if (WaitForSingleObject(process_.get(), 30'000) != WAIT_OBJECT_0)
            return ::testing::AssertionFailure() << "the holder did not end";
        return ::testing::AssertionSuccess();
    }

  private:
    win32::UniqueHandleObj ready_;
    win32::UniqueHandleObj release_;
    win32::UniqueHandleObj process_;
};

// --- pressing keys from outside

// Wine's bridge to Unix programs; with `wait` it returns the exit code.
using UnixSpawn = LONG(CDECL*)(char* const argv[], int wait);

std::string XdotoolKeyName(const Combination& c) {
    std::string keys;
    if (c.modifiers & MOD_CONTROL)
        keys += "ctrl+";
    if (c.modifiers & MOD_SHIFT)
        keys += "shift+";
    if (c.modifiers & MOD_ALT)
        keys += "alt+";
    return keys + "F" + std::to_string(c.vk - VK_F1 + 1);
}

// Presses the combination as a user would: xdotool sends it through the X
// server. X delivers keys only to a focused X window, and with no window
// manager nobody moves the focus, so `focus` (a visible Wine window) gets it
// first.
::testing::AssertionResult PressFromOutside(HWND focus, const Combination& c) {
    const auto spawn = reinterpret_cast<UnixSpawn>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "__wine_unix_spawnvp")));
    if (spawn == nullptr)
        return ::testing::AssertionFailure() << "not running under Wine: no way to reach xdotool";
    const auto xid = reinterpret_cast<std::uintptr_t>(GetPropW(focus, L"__wine_x11_whole_window"));
    if (xid == 0)
        return ::testing::AssertionFailure() << "the focus window has no X window";
    std::vector<std::string> args = {
        "/usr/bin/timeout",  "20",  "/usr/bin/xdotool", "windowfocus", "--sync",
        std::to_string(xid), "key", XdotoolKeyName(c)};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const LONG status = spawn(argv.data(), 1);
    if (status != 0)
        return ::testing::AssertionFailure()
               << "xdotool " << XdotoolKeyName(c) << " ended with status 0x" << std::hex << status;
    return ::testing::AssertionSuccess();
}

// --- windows that record the hotkey messages reaching their own procedure

struct HotKeySeen {
    HWND window;
    WPARAM id;
};
std::vector<HotKeySeen> gHotKeysSeen;
int gOwnProcCalls = 0;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ++gOwnProcCalls;
    if (message == WM_HOTKEY)
        gHotKeysSeen.push_back({window, wParam});
    return DefWindowProcW(window, message, wParam, lParam);
}

int HotKeysSeenBy(HWND window) {
    int n = 0;
    for (const HotKeySeen& s : gHotKeysSeen) n += s.window == window ? 1 : 0;
    return n;
}

// Real registration, atom, clock and subclassing; the capture's desktop in
// memory, with a source program ("Billing", A-17 selected), the imaging
// application and the scripts folder.
class HotKeyTest : public ::testing::Test {
  protected:
    HotKeyTest() {
        gHotKeysSeen.clear();
        gOwnProcCalls = 0;
        ResetAppLink();
        modHotKey::Reset();
        modHotKey::SetMainWindow([this] { return reinterpret_cast<WindowHandle>(main_.get()); });
        f_.windows.titles = {"Billing", "Document Center"};
        f_.keyboard.source = {"A-17 and more", "A-17"};
        f_.files.folders.insert(fake::FakeFiles::Key("c:\\program files\\tallowin\\scripts"));
        clsSettings& s = AppLink().oSettings();
        s.SourceAppTitle("Billing");
        s.Field("InvoiceNo");
        AppLink().colFields()->Add("InvoiceNo", "");
        AppLink().ProcedureType(kIndexProcedure);
        ownProc_ = GetWindowLongPtrW(main_.get(), GWLP_WNDPROC);
        // Wine gives a window its X window once the window has been shown.
        testing::PumpMessagesUntil(
            [&] { return GetPropW(focus_.get(), L"__wine_x11_whole_window") != nullptr; },
            std::chrono::seconds(5));
    }
    ~HotKeyTest() override {
        arming_.reset();
        modHotKey::Reset();
        ResetAppLink();
    }

    void UseCombination(const Combination& c) {
        AppLink().oSettings().HotKeyShift(c.hotKeyShift);
        AppLink().oSettings().HotKey(static_cast<std::int16_t>(c.vk));
    }
    HotKeyArming& Arming() { return *arming_; }
    int Cycles() const { return static_cast<int>(f_.processes.started.size()); }
    bool Subclassed() { return GetWindowLongPtrW(main_.get(), GWLP_WNDPROC) != ownProc_; }
    HWND MainWindow() const { return main_.get(); }
    HWND FocusWindow() const { return focus_.get(); }

    // Waits until `window`'s own procedure has seen `count` hotkey messages.
    ::testing::AssertionResult AwaitHotKeys(HWND window, int count) {
        if (testing::PumpMessagesUntil([&] { return HotKeysSeenBy(window) >= count; }))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "the window saw " << HotKeysSeenBy(window) << " hotkey messages, not " << count;
    }

    fake::FakeDesktop f_;
    win32::Win32HotKeys hotkeys_;
    win32::Win32GlobalAtoms atoms_;
    win32::Win32Clock clock_;
    win32::Win32WindowProcs procs_;
    Desktop desktop_{f_.settings,  f_.clipboard, f_.keyboard, f_.windows, f_.files,
                     f_.processes, f_.boxes,     f_.loop,     hotkeys_,   atoms_,
                     clock_,       procs_,       f_.tray,     f_.registry};
    DesktopScope scope_{desktop_};
    testing::TestWindow main_{testing::UniqueName(L"Vantrel main"), 0,
                              RecordingProc};  // hidden, like the program's
    testing::TestWindow focus_{testing::UniqueName(L"Vantrel hotkey focus"),
                               WS_OVERLAPPEDWINDOW | WS_VISIBLE, RecordingProc};
    LONG_PTR ownProc_ = 0;
    std::optional<HotKeyArming> arming_{
        std::in_place, [this] { return reinterpret_cast<WindowHandle>(main_.get()); },
        [] {
            const clsSettings& settings = AppLink().oSettings();
            return HotKeyCombination{settings.HotKeyMod(), settings.HotKey(), "the test key"};
        }};
};

TEST_F(HotKeyTest, KeyPressedOutsideTheProgramRunsTheCycleOnTheHiddenWindow) {
    UseCombination(kCtrlShiftF9);
    const std::string before = clock_.NowAsGeneralDate();
    Arming().EnableHotKey(true);
    const std::string after = clock_.NowAsGeneralDate();
    ASSERT_TRUE(Arming().HotKeyRegistered()) << LastErrorText();
    EXPECT_TRUE(Subclassed());

    ASSERT_TRUE(PressFromOutside(FocusWindow(), kCtrlShiftF9));
    ASSERT_TRUE(AwaitHotKeys(MainWindow(), 1));
    ASSERT_EQ(Cycles(), 1);
    EXPECT_EQ(f_.processes.started[0].commandLine, kIndexCommandLine);
    EXPECT_EQ(f_.files.Content(kScriptPath), IndexScript("InvoiceNo", false));
    EXPECT_TRUE(f_.boxes.shown.empty());

    // The message carried the atom as identifier and went on to the window's own procedure.
    const WPARAM id = gHotKeysSeen.back().id;
    EXPECT_GE(id, 0xC000u);
    EXPECT_LE(id, 0xFFFFu);
    wchar_t name[64] = {};
    ASSERT_GT(GlobalGetAtomNameW(static_cast<ATOM>(id), name, 64), 0u) << LastErrorText();
    // Named after the moment of the first arming.
    EXPECT_TRUE(win32::Narrow(name) == before || win32::Narrow(name) == after)
        << win32::Narrow(name);

    // A second press runs a second cycle under the same identifier.
    ASSERT_TRUE(PressFromOutside(FocusWindow(), kCtrlShiftF9));
    ASSERT_TRUE(AwaitHotKeys(MainWindow(), 2));
    EXPECT_EQ(Cycles(), 2);
    EXPECT_EQ(gHotKeysSeen.back().id, id);

    Arming().EnableHotKey(false);
    EXPECT_FALSE(Arming().HotKeyRegistered());
    EXPECT_EQ(GetWindowLongPtrW(MainWindow(), GWLP_WNDPROC), ownProc_);

    // Free again: another window can have it, and a press goes there only.
    ASSERT_TRUE(RegisterHotKey(FocusWindow(), 7, kCtrlShiftF9.modifiers, kCtrlShiftF9.vk))
        << LastErrorText();
    ASSERT_TRUE(PressFromOutside(FocusWindow(), kCtrlShiftF9));
    ASSERT_TRUE(AwaitHotKeys(FocusWindow(), 1));
    EXPECT_EQ(HotKeysSeenBy(MainWindow()), 2);
    EXPECT_EQ(Cycles(), 2);
    UnregisterHotKey(FocusWindow(), 7);

    // The atom goes with its owner.
    arming_.reset();
    EXPECT_EQ(GlobalGetAtomNameW(static_cast<ATOM>(id), name, 64), 0u);
}

TEST_F(HotKeyTest, EmptyCaptureSaysNoDataFoundAndTheMessageStillReachesTheWindow) {
    UseCombination(kBareF8);
    f_.keyboard.source = {"", ""};
    Arming().EnableHotKey(true);
    ASSERT_TRUE(Arming().HotKeyRegistered()) << LastErrorText();
    ASSERT_TRUE(PressFromOutside(FocusWindow(), kBareF8));
    ASSERT_TRUE(AwaitHotKeys(MainWindow(), 1));
    ASSERT_EQ(f_.boxes.shown.size(), 1u);
    EXPECT_EQ(f_.boxes.shown[0].text, "no data found");
    EXPECT_EQ(Cycles(), 0);
    Arming().EnableHotKey(false);
}

TEST_F(HotKeyTest, CombinationHeldByAnotherWindowIsRefusedQuietlyAndArmingAgainWorks) {
    UseCombination(kCtrlShiftF9);
    ASSERT_TRUE(RegisterHotKey(FocusWindow(), 7, kCtrlShiftF9.modifiers, kCtrlShiftF9.vk))
        << LastErrorText();

    Arming().EnableHotKey(true);
    EXPECT_FALSE(Arming().HotKeyRegistered());
    EXPECT_TRUE(f_.boxes.shown.empty());
    EXPECT_TRUE(Subclassed());

    // The press belongs to the other window; the program runs on.
    ASSERT_TRUE(PressFromOutside(FocusWindow(), kCtrlShiftF9));
    ASSERT_TRUE(AwaitHotKeys(FocusWindow(), 1));
    EXPECT_EQ(HotKeysSeenBy(MainWindow()), 0);
    EXPECT_EQ(Cycles(), 0);

    // Arming again installs once more; the window must still have exactly one
    // working replacement in front of its own procedure.
    UnregisterHotKey(FocusWindow(), 7);
    Arming().EnableHotKey(true);
    ASSERT_TRUE(Arming().HotKeyRegistered()) << LastErrorText();
    gOwnProcCalls = 0;
    SendMessageW(MainWindow(), WM_NULL, 0, 0);
    EXPECT_EQ(gOwnProcCalls, 1);

    ASSERT_TRUE(PressFromOutside(FocusWindow(), kCtrlShiftF9));
    ASSERT_TRUE(AwaitHotKeys(MainWindow(), 1));
    EXPECT_EQ(Cycles(), 1);

    Arming().EnableHotKey(false);
    EXPECT_EQ(GetWindowLongPtrW(MainWindow(), GWLP_WNDPROC), ownProc_);
}

TEST_F(HotKeyTest, CombinationHeldByAnotherProcessIsRefusedQuietly) {
    UseCombination(kBareF8);
    HolderProcess holder(kBareF8);
    ASSERT_TRUE(holder.Holding());

    Arming().EnableHotKey(true);
    EXPECT_FALSE(Arming().HotKeyRegistered());
    EXPECT_TRUE(f_.boxes.shown.empty());
    // Disarming a refused registration leaves everything as it is.
    Arming().EnableHotKey(false);
    EXPECT_TRUE(Subclassed());

    ASSERT_TRUE(holder.LetGo());
    Arming().EnableHotKey(true);
    EXPECT_TRUE(Arming().HotKeyRegistered()) << LastErrorText();
    Arming().EnableHotKey(false);
    EXPECT_FALSE(Arming().HotKeyRegistered());
    EXPECT_EQ(GetWindowLongPtrW(MainWindow(), GWLP_WNDPROC), ownProc_);
}

}  // namespace
}  // namespace vantrel
