#include <windows.h>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "Win32TestSupport.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32MessageLoop.h"
#include "resources/DialogLayout_win.h"

namespace vantrel {
namespace {

using testing::LastErrorText;

constexpr UINT kPing = WM_APP + 7;
int gPings = 0;

// A dialog procedure: a plain function, with the system's calling convention.
INT_PTR CALLBACK CountCancels(HWND, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL)
        ++gPings;
    return message == WM_INITDIALOG;
}

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kPing) {
        ++gPings;
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

class Win32MessageLoopTest : public ::testing::Test {
  protected:
    void SetUp() override {
        gPings = 0;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    win32::Win32MessageLoop loop_;
    testing::TestWindow window_{L"loop", WS_OVERLAPPEDWINDOW, CountingProc};
};

TEST_F(Win32MessageLoopTest, OnePassDispatchesWhatIsWaiting) {
    ASSERT_TRUE(PostMessageW(window_.get(), kPing, 0, 0)) << LastErrorText();
    ASSERT_TRUE(PostMessageW(window_.get(), kPing, 0, 0)) << LastErrorText();
    loop_.ProcessPending();
    EXPECT_EQ(gPings, 2);
    loop_.ProcessPending();
    EXPECT_EQ(gPings, 2) << "returns at once with nothing waiting";

    // A dialog that is active gets its keyboard navigation, as in the program's loop.
    const win32::UniqueHwnd dialog(
        win32::CreateEmptyDialog(nullptr, WS_POPUP | WS_CAPTION, 0, CountCancels, 0));
    ASSERT_TRUE(dialog) << LastErrorText();
    ShowWindow(dialog.get(), SW_SHOW);
    SetActiveWindow(dialog.get());
    ASSERT_EQ(GetActiveWindow(), dialog.get());
    PostMessageW(dialog.get(), WM_KEYDOWN, VK_ESCAPE, 0);
    loop_.ProcessPending();
    EXPECT_EQ(gPings, 3) << "Esc did not become Cancel";
}

TEST_F(Win32MessageLoopTest, AQuitRequestIsLeftForTheMainLoop) {
    PostQuitMessage(17);
    loop_.ProcessPending();
    // It ends a wait too, which would otherwise wake at once, again and again.
    int checks = 0;
    EXPECT_FALSE(loop_.PumpUntil([&] { return ++checks < 0; }, std::chrono::seconds(10)));
    EXPECT_LE(checks, 3);
    MSG msg{};
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        << "the quit request was swallowed";
    EXPECT_EQ(msg.wParam, 17u);
}

TEST_F(Win32MessageLoopTest, PumpUntilDispatchesWhileWaitingAndStopsWhenDone) {
    std::thread poster([hwnd = window_.get()] {
        Sleep(100);
        PostMessageW(hwnd, kPing, 0, 0);
    });
    const bool done = loop_.PumpUntil([] { return gPings > 0; }, std::nullopt);
    poster.join();
    EXPECT_TRUE(done);
    EXPECT_EQ(gPings, 1);
}

TEST_F(Win32MessageLoopTest, PumpUntilNoticesAConditionThatNoMessageAnnounces) {
    std::atomic<bool> flag{false};
    std::thread setter([&] {
        Sleep(100);
        flag = true;
    });
    EXPECT_TRUE(loop_.PumpUntil([&] { return flag.load(); }, std::chrono::seconds(30)));
    setter.join();
}

TEST_F(Win32MessageLoopTest, PumpUntilGivesUpAtItsBoundAndRestsMeanwhile) {
    int checks = 0;
    EXPECT_FALSE(loop_.PumpUntil([&] { return ++checks < 0; }, std::chrono::milliseconds(200)));
    // Resting a few milliseconds between checks gives some dozens; spinning, millions.
    EXPECT_LT(checks, 1000);
    EXPECT_TRUE(loop_.PumpUntil([] { return true; }, std::chrono::milliseconds(0)));
}

}  // namespace
}  // namespace vantrel
