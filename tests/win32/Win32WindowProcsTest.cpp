#include <windows.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "Win32TestSupport.h"
#include "platform/win32/Win32HotKeys.h"
#include "platform/win32/Win32Keyboard.h"
#include "platform/win32/Win32MessageLoop.h"
#include "platform/win32/Win32WindowProcs.h"

namespace vantrel {
namespace {

using testing::LastErrorText;

constexpr UINT kProbe = WM_APP + 1;
constexpr UINT kThrow = WM_APP + 2;

struct Seen {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Seen> gOwnSeen;
std::vector<Seen> gPortableSeen;
ProcAddress gPrevious = 0;
win32::Win32WindowProcs* gProcs = nullptr;

// The window's own procedure, as its class has it.
LRESULT CALLBACK OwnProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kProbe) {
        gOwnSeen.push_back({window, message, wParam, lParam});
        return 42;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A portable replacement: records, then hands on, as the hotkey module's does.
std::intptr_t Portable(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                       std::intptr_t lParam) {
    if (message == kProbe || message == WM_HOTKEY)
        gPortableSeen.push_back({reinterpret_cast<HWND>(window), message, wParam, lParam});
    if (message == kThrow)
        throw std::runtime_error("escaped");
    return gProcs->CallProc(gPrevious, window, message, wParam, lParam) +
           (message == kProbe ? 1 : 0);
}

std::intptr_t OtherPortable(WindowHandle, std::uint32_t, std::uintptr_t, std::intptr_t) {
    return 0;
}

class Win32WindowProcsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        gOwnSeen.clear();
        gPortableSeen.clear();
        gProcs = &procs_;
    }
    void TearDown() override { gProcs = nullptr; }
    win32::Win32WindowProcs procs_;
    // Hidden: Wine takes visible windows down slowly.
    testing::TestWindow window_{L"subclassed", WS_OVERLAPPEDWINDOW, OwnProc};
    WindowHandle handle() const { return reinterpret_cast<WindowHandle>(window_.get()); }
};

TEST_F(Win32WindowProcsTest, EachPortableProcedureHasOneStableAddress) {
    const ProcAddress a = procs_.AddressOf(Portable);
    EXPECT_NE(a, 0u);
    EXPECT_EQ(procs_.AddressOf(Portable), a);
    EXPECT_NE(procs_.AddressOf(OtherPortable), a);
    EXPECT_EQ(win32::Win32WindowProcs().AddressOf(Portable), a) << "the same in another instance";
}

TEST_F(Win32WindowProcsTest, InstalledProcedureSeesMessagesAndForwardsToTheOriginal) {
    const ProcAddress thunk = procs_.AddressOf(Portable);
    gPrevious = procs_.Install(handle(), thunk);
    ASSERT_EQ(gPrevious, reinterpret_cast<ProcAddress>(&OwnProc)) << LastErrorText();
    EXPECT_EQ(static_cast<ProcAddress>(GetWindowLongPtrW(window_.get(), GWLP_WNDPROC)), thunk);

    const LRESULT result = SendMessageW(window_.get(), kProbe, 7, -9);
    EXPECT_EQ(result, 43) << "the replacement's result, built on the original's";
    ASSERT_EQ(gPortableSeen.size(), 1u);
    EXPECT_EQ(gPortableSeen[0].window, window_.get());
    EXPECT_EQ(gPortableSeen[0].wParam, 7u);
    EXPECT_EQ(gPortableSeen[0].lParam, -9);
    ASSERT_EQ(gOwnSeen.size(), 1u) << "CallProc reached the original";
    EXPECT_EQ(gOwnSeen[0].lParam, -9);

    // Putting the original back ends the subclass.
    EXPECT_EQ(procs_.Install(handle(), gPrevious), thunk);
    EXPECT_EQ(SendMessageW(window_.get(), kProbe, 1, 2), 42);
    EXPECT_EQ(gPortableSeen.size(), 1u);
}

TEST_F(Win32WindowProcsTest, AnExceptionStopsAtTheThunkAndTheMessageGetsZero) {
    gPrevious = procs_.Install(handle(), procs_.AddressOf(Portable));
    EXPECT_EQ(SendMessageW(window_.get(), kThrow, 0, 0), 0);
    EXPECT_TRUE(IsWindow(window_.get()));
    procs_.Install(handle(), gPrevious);
}

TEST_F(Win32WindowProcsTest, InstallingOnAWindowThatIsGoneReturnsZero) {
    HWND gone =
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    EXPECT_EQ(procs_.Install(reinterpret_cast<WindowHandle>(gone), procs_.AddressOf(Portable)), 0u);
}

// The whole path the program relies on: a pressed hotkey reaches the portable
// procedure through the message loop.
TEST_F(Win32WindowProcsTest, APressedHotKeyReachesThePortableProcedure) {
    win32::Win32HotKeys hotkeys;
    win32::Win32Keyboard keyboard;
    win32::Win32MessageLoop loop;
    gPrevious = procs_.Install(handle(), procs_.AddressOf(Portable));
    ASSERT_NE(hotkeys.Register(handle(), 0xC123, MOD_CONTROL | MOD_SHIFT, VK_F8), 0)
        << LastErrorText();
    keyboard.Send({{VK_CONTROL, false},
                   {VK_SHIFT, false},
                   {VK_F8, false},
                   {VK_F8, true},
                   {VK_SHIFT, true},
                   {VK_CONTROL, true}});
    const bool arrived =
        loop.PumpUntil([] { return !gPortableSeen.empty(); }, std::chrono::seconds(5));
    hotkeys.Unregister(handle(), 0xC123);
    procs_.Install(handle(), gPrevious);
    ASSERT_TRUE(arrived);
    EXPECT_EQ(gPortableSeen[0].message, static_cast<UINT>(WM_HOTKEY));
    EXPECT_EQ(gPortableSeen[0].wParam, 0xC123u);
}

}  // namespace
}  // namespace vantrel
