#include <windows.h>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "Win32TestSupport.h"
#include "platform/win32/Win32MessageBoxes.h"

namespace vantrel {
namespace {

struct BoxSeen {
    bool found = false;
    bool topmost = false;
    bool ownWindowEnabled = true;
    std::wstring text;
    int buttons = 0;
};

// Plays the user: waits for the box, looks at it and presses OK.
BoxSeen CloseBoxWhenItAppears(const std::wstring& caption, HWND ownWindow) {
    BoxSeen seen;
    // Looked at once shown: the box exists before it is set up.
    HWND box = nullptr;
    for (int i = 0; i < 1000 && (box == nullptr || !IsWindowVisible(box)); ++i) {
        box = FindWindowW(L"#32770", caption.c_str());
        if (box == nullptr || !IsWindowVisible(box))
            Sleep(10);
    }
    if (box == nullptr)
        return seen;
    seen.found = true;
    seen.topmost = (GetWindowLongPtrW(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    seen.ownWindowEnabled = IsWindowEnabled(ownWindow) != FALSE;
    wchar_t text[256] = {};
    GetDlgItemTextW(box, 0xFFFF, text, static_cast<int>(std::size(text)));
    seen.text = text;
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t cls[32] = {};
        GetClassNameW(child, cls, 32);
        if (lstrcmpiW(cls, L"Button") == 0 && IsWindowVisible(child))
            ++seen.buttons;
    }
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    return seen;
}

class Win32MessageBoxesTest : public ::testing::TestWithParam<Modality> {};

TEST_P(Win32MessageBoxesTest, ShowsAnOkOnlyBoxOfTheChosenModalityUntilClosed) {
    const testing::TestWindow ownWindow(L"own", WS_OVERLAPPEDWINDOW);
    const std::wstring caption = testing::UniqueName(L"Vantrel");
    BoxSeen seen;
    std::thread user([&] { seen = CloseBoxWhenItAppears(caption, ownWindow.get()); });
    win32::Win32MessageBoxes().Show("error activating: 'Kundenübersicht' window.",
                                    win32::Narrow(caption), GetParam());
    user.join();
    ASSERT_TRUE(seen.found) << "no box with the caption appeared";
    EXPECT_EQ(win32::Narrow(seen.text), "error activating: 'Kundenübersicht' window.");
    EXPECT_EQ(seen.buttons, 1) << "OK only";
    if (GetParam() == Modality::System) {
        EXPECT_TRUE(seen.topmost) << "system-modal boxes stay above every window";
    } else {
        EXPECT_FALSE(seen.topmost);
        EXPECT_FALSE(seen.ownWindowEnabled)
            << "modal to this program: its windows are disabled meanwhile";
    }
    EXPECT_TRUE(IsWindowEnabled(ownWindow.get())) << "enabled again once the box is closed";
}

INSTANTIATE_TEST_SUITE_P(BothModalities, Win32MessageBoxesTest,
                         ::testing::Values(Modality::Application, Modality::System),
                         [](const auto& p) {
                             return p.param == Modality::System ? "System" : "Application";
                         });

}  // namespace
}  // namespace vantrel
