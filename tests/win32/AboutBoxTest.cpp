// The about box as a real window: one at a time, its texts and layout, and
// the keys that close it. The desktop services are in-memory, so System Info
// starts nothing and its box is recorded.

#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "Win32TestSupport.h"
#include "about/AboutBox.h"
#include "fake/FakeDesktop.h"
#include "resources/DialogLayout_win.h"
#include "resources/resource.h"

namespace vantrel {
namespace {

using testing::PumpMessagesUntil;

std::wstring TextOf(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, static_cast<int>(std::size(text)));
    return text;
}

// Every window of this thread titled "About Vantrel".
std::vector<HWND> AboutWindows() {
    std::vector<HWND> found;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM p) CALLBACK -> BOOL {
            if (TextOf(w) == L"About Vantrel")
                reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Runs the thread's messages through the dialog manager, as the program's loop does.
void PumpDialogMessages(HWND dialog) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.hwnd != nullptr && IsWindow(dialog) && IsDialogMessageW(dialog, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Whether a WM_NULL thread message is waiting (taken off the queue).
bool ThreadNullPosted() {
    MSG msg;
    bool seen = false;
    while (PeekMessageW(&msg, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE))
        seen |= msg.message == WM_NULL;
    return seen;
}

class AboutBoxTest : public ::testing::Test {
  protected:
    ~AboutBoxTest() override {
        for (const HWND w : AboutWindows()) DestroyWindow(w);
        PumpMessagesUntil([] { return !IsAboutBoxLoaded(); }, std::chrono::seconds(2));
        ThreadNullPosted();
    }
    HWND Open() {
        ShowAboutBox();
        const std::vector<HWND> windows = AboutWindows();
        EXPECT_EQ(windows.size(), 1u);
        return windows.empty() ? nullptr : windows[0];
    }
    fake::FakeDesktop d;
};

TEST_F(AboutBoxTest, ShowsTitleAndVersionAndStaysSingle) {
    EXPECT_FALSE(IsAboutBoxLoaded());
    const HWND box = Open();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(IsAboutBoxLoaded());
    EXPECT_EQ(TextOf(GetDlgItem(box, IDC_ABOUT_TITLE)), L"Vantrel");
    EXPECT_EQ(TextOf(GetDlgItem(box, IDC_ABOUT_VERSION)), L"Version 1.0.26");
    EXPECT_EQ(TextOf(GetDlgItem(box, IDC_ABOUT_SYSINFO)), L"&System Info...");
    EXPECT_EQ(TextOf(GetDlgItem(box, IDC_ABOUT_DESCRIPTION)), L"");
    EXPECT_EQ(TextOf(GetDlgItem(box, IDC_ABOUT_DISCLAIMER)), L"");
    EXPECT_NE(SendDlgItemMessageW(box, IDC_ABOUT_ICON, STM_GETICON, 0, 0), 0) << "the picture";

    ShowAboutBox();
    EXPECT_EQ(AboutWindows(), std::vector<HWND>{box})
        << "opening again brings the same box forward";
    EXPECT_TRUE(IsWindowVisible(box));
}

TEST_F(AboutBoxTest, AFixedDialogAtItsDesignedPlace) {
    const HWND box = Open();
    ASSERT_NE(box, nullptr);
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(box, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(box, GWL_EXSTYLE));
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);
    EXPECT_NE(GetWindow(box, GW_OWNER), nullptr) << "owned, so out of the task bar";
    EXPECT_EQ(GetWindow(box, GW_OWNER) != nullptr && IsWindowVisible(GetWindow(box, GW_OWNER)),
              false);

    const int dpi = win32::WindowDpi(box);
    POINT origin{0, 0};
    ClientToScreen(box, &origin);
    EXPECT_EQ(origin.x, win32::TwipsToPixels(2340, dpi));
    EXPECT_EQ(origin.y, win32::TwipsToPixels(1932, dpi));
    RECT client{};
    GetClientRect(box, &client);
    EXPECT_NEAR(client.right, win32::TwipsToPixels(4608, dpi), 1);
    EXPECT_NEAR(client.bottom, win32::TwipsToPixels(3564, dpi), 1);

    RECT ok{};
    GetWindowRect(GetDlgItem(box, IDC_ABOUT_OK), &ok);
    MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&ok), 2);
    EXPECT_EQ(ok.left, win32::TwipsToPixels(3120, dpi));
    EXPECT_EQ(ok.top, win32::TwipsToPixels(2625, dpi));
    EXPECT_EQ(ok.right - ok.left, win32::TwipsToPixels(1260, dpi));
    EXPECT_TRUE(GetWindowLongPtrW(GetDlgItem(box, IDC_ABOUT_OK), GWL_STYLE) & BS_DEFPUSHBUTTON);
    EXPECT_EQ(GetFocus(), GetDlgItem(box, IDC_ABOUT_OK)) << "focus starts on OK";

    // The etched separator: grey above white, just above the buttons.
    UpdateWindow(box);
    const HDC dc = GetDC(box);
    const int x = win32::TwipsToPixels(2000, dpi);
    EXPECT_EQ(GetPixel(dc, x, win32::TwipsToPixels(2448, dpi)), RGB(128, 128, 128));
    EXPECT_EQ(GetPixel(dc, x, win32::TwipsToPixels(2472, dpi)), RGB(255, 255, 255));
    ReleaseDC(box, dc);
}

TEST_F(AboutBoxTest, OkClosesItAndWakesTheMessageLoop) {
    const HWND box = Open();
    ASSERT_NE(box, nullptr);
    ThreadNullPosted();
    SendDlgItemMessageW(box, IDC_ABOUT_OK, BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindow(box));
    EXPECT_FALSE(IsAboutBoxLoaded());
    EXPECT_TRUE(ThreadNullPosted());
    EXPECT_TRUE(AboutWindows().empty());

    const HWND again = Open();  // loaded anew
    EXPECT_NE(again, nullptr);
    EXPECT_TRUE(IsAboutBoxLoaded());
}

TEST_F(AboutBoxTest, EnterEscAndTheCloseBoxCloseIt) {
    struct Way {
        const char* name;
        UINT message;
        WPARAM wParam;
        bool toButton;
    };
    const Way ways[] = {{"Enter", WM_KEYDOWN, VK_RETURN, true},
                        {"Esc", WM_KEYDOWN, VK_ESCAPE, true},
                        {"close box", WM_CLOSE, 0, false}};
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        const HWND box = Open();
        ASSERT_NE(box, nullptr);
        PostMessageW(way.toButton ? GetDlgItem(box, IDC_ABOUT_OK) : box, way.message, way.wParam,
                     1);
        PumpDialogMessages(box);
        EXPECT_FALSE(IsAboutBoxLoaded());
        EXPECT_FALSE(IsWindow(box));
    }
}

TEST_F(AboutBoxTest, SystemInfoReportsWhenItCannotStart) {
    const HWND box = Open();
    ASSERT_NE(box, nullptr);
    SendDlgItemMessageW(box, IDC_ABOUT_SYSINFO, BM_CLICK, 0, 0);
    ASSERT_EQ(d.boxes.shown.size(), 1u);
    EXPECT_EQ(d.boxes.shown[0].text, "System Information Is Unavailable At This Time");
    EXPECT_TRUE(IsAboutBoxLoaded()) << "the box stays open";

    d.registry.SetString("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH",
                         "C:\\Tools\\msinfo32.exe");
    // Alt+S, the button's access key, through the dialog manager.
    PostMessageW(GetDlgItem(box, IDC_ABOUT_OK), WM_SYSCHAR, 's', 1 << 29);
    PumpDialogMessages(box);
    ASSERT_EQ(d.processes.started.size(), 1u);
    EXPECT_EQ(d.processes.started[0].program, "C:\\Tools\\msinfo32.exe");
}

}  // namespace
}  // namespace vantrel
