// The main window, its tray icon and its menu on the real window system. The
// settings come from a scratch key and message boxes are recorded instead of
// shown, so a run neither touches the user's settings nor waits for a click.

#include <windows.h>
#include <gtest/gtest.h>
#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <optional>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "Win32TestSupport.h"
#include "about/AboutBox.h"
#include "app/ProgramLoop_win.h"
#include "app/frmmain.h"
#include "app/frmmain_win.h"
#include "app/modMain.h"
#include "fake/FakeDesktop.h"
#include "link/clsAppLink.h"
#include "platform/win32/RegistrySettingsStore.h"
#include "platform/win32/ScreenDc.h"
#include "platform/win32/Win32Desktop.h"
#include "resources/resource.h"

namespace vantrel {
namespace {

using testing::LastErrorText;
using testing::PumpMessagesUntil;
using testing::TestWindow;

constexpr UINT kProbeModifiers = MOD_CONTROL | MOD_ALT | MOD_SHIFT;
constexpr UINT kProbeKey = VK_F9;
constexpr int kRightButtonUp = 0x0205;

// Whether someone holds the key combination: registering it elsewhere is refused.
bool HotKeyTaken(UINT modifiers, UINT vk) {
    const TestWindow probe(L"hotkey probe", WS_OVERLAPPED);
    if (RegisterHotKey(probe.get(), 0x2345, modifiers, vk)) {
        UnregisterHotKey(probe.get(), 0x2345);
        return false;
    }
    return true;
}

// Whether the notification area knows the icon: only an existing one can be modified.
bool TrayIconPresent(HWND window) {
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V1_SIZE;
    data.hWnd = window;
    data.uID = 1;
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

std::wstring TextOf(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, static_cast<int>(std::size(text)));
    return text;
}

// A visible top-level window of this thread with the title, if any.
HWND FindThreadWindow(const std::wstring& title) {
    struct Search {
        std::wstring title;
        HWND found = nullptr;
    } search{title};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM p) CALLBACK -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            if (IsWindowVisible(w) && TextOf(w) == s->title) {
                s->found = w;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// What runs while a modal loop of the program (the settings dialog, the tray
// menu) holds the thread: a thread timer is dispatched by every such loop.
std::function<bool()> gWhileModal;  // returns true when done
void CALLBACK OnModalTimer(HWND, UINT, UINT_PTR id, DWORD) {
    if (gWhileModal && gWhileModal()) {
        KillTimer(nullptr, id);
        gWhileModal = nullptr;
    }
}

class WhileModal {
  public:
    explicit WhileModal(std::function<bool()> action) {
        gWhileModal = std::move(action);
        timer_ = SetTimer(nullptr, 0, 100, &OnModalTimer);
    }
    ~WhileModal() {
        KillTimer(nullptr, timer_);
        gWhileModal = nullptr;
    }
    WhileModal(const WhileModal&) = delete;
    WhileModal& operator=(const WhileModal&) = delete;

  private:
    UINT_PTR timer_ = 0;
};

// The settings dialog, when it opens: optionally an index field typed, then
// OK (with a field) or Cancel.
std::function<bool()> AnswerSettingsDialog(bool* seen, std::optional<std::wstring> indexField) {
    return [seen, indexField] {
        const HWND dialog = FindThreadWindow(L"Vantrel Settings");
        if (dialog == nullptr)
            return false;
        *seen = true;
        if (indexField)
            SetDlgItemTextW(dialog, IDC_SETTINGS_INDEX_FIELD, indexField->c_str());
        PostMessageW(GetDlgItem(dialog, indexField ? IDC_SETTINGS_OK : IDC_SETTINGS_CANCEL),
                     BM_CLICK, 0, 0);
        return true;
    };
}

// The open tray menu: its items are read, then `keys` are pressed in it.
struct MenuSeen {
    bool open = false;
    POINT at{};
    std::vector<std::wstring> items;  // "-" for a separator
};

std::function<bool()> WorkTheMenu(MenuSeen* seen, std::vector<WORD> keys) {
    return [seen, keys] {
        const HWND menuWindow = FindWindowW(L"#32768", nullptr);
        if (menuWindow == nullptr || !IsWindowVisible(menuWindow))
            return false;
        seen->open = true;
        RECT r{};
        GetWindowRect(menuWindow, &r);
        seen->at = {r.left, r.top};
        const auto menu =
            reinterpret_cast<HMENU>(SendMessageW(menuWindow, 0x01E1 /* MN_GETHMENU */, 0, 0));
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            MENUITEMINFOW info{};
            info.cbSize = sizeof info;
            info.fMask = MIIM_FTYPE | MIIM_STRING;
            wchar_t text[64] = {};
            info.dwTypeData = text;
            info.cch = static_cast<UINT>(std::size(text));
            GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
            seen->items.push_back((info.fType & MFT_SEPARATOR) != 0 ? L"-" : text);
        }
        for (const WORD key : keys) {
            PostMessageW(menuWindow, WM_KEYDOWN, key, 0);
            PostMessageW(menuWindow, WM_KEYUP, key, 0xC0000000);
        }
        return true;
    };
}

// Runs the program's message loop under a watchdog that ends it with WM_QUIT
// should it hang. Returns whether the loop ended by itself.
bool LoopEndsByItself() {
    const DWORD thread = GetCurrentThreadId();
    const win32::UniqueHandleObj finished(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::atomic<bool> fired{false};
    std::thread watchdog([&] {
        if (WaitForSingleObject(finished.get(), 20000) == WAIT_TIMEOUT) {
            fired = true;
            PostThreadMessageW(thread, WM_QUIT, 0, 0);
        }
    });
    win32::RunProgramMessageLoop();
    SetEvent(finished.get());
    watchdog.join();
    MSG late{};
    PeekMessageW(&late, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    return !fired;
}

// The shell delivers tray notifications from its own thread, as sent messages.
std::thread NotifyFromAnotherThread(HWND window, int mouseMessage) {
    return std::thread([window, mouseMessage] {
        SendMessageW(window, WM_MOUSEMOVE, 1, static_cast<LPARAM>(mouseMessage));
    });
}

class ShellTest : public ::testing::Test {
  protected:
    ShellTest() { ResetAppLink(); }
    ~ShellTest() override {
        win32::EndMainWindow();
        ResetAppLink();
    }

    void Store(const char* key, const char* value) {
        settings_.Write("Vantrel", "Settings", key, value);
    }
    std::optional<std::string> Stored(const char* key) {
        return settings_.Read("Vantrel", "Settings", key);
    }
    HWND MainWindow() const { return reinterpret_cast<HWND>(win32::MainWindowHandle()); }
    void RunMain() { Main(&win32::LoadMainWindow); }
    std::string Field1() { return AppLink().colFields()->Item(1)->Field(); }
    // A tray notification, sent as the shell sends it.
    void TrayNotifies(int mouseMessage) {
        SendMessageW(MainWindow(), WM_MOUSEMOVE, 1, static_cast<LPARAM>(mouseMessage));
    }

    const testing::ScratchKey root_;
    win32::RegistrySettingsStore settings_{root_.path(), root_.path()};  // no machine values
    win32::Win32Desktop real_;
    fake::Journal journal_;
    fake::FakeMessageBoxes boxes_{journal_};
    fake::FakeLog log_;
    Desktop desktop_{settings_,       real_.clipboard, real_.keyboard, real_.windows,  real_.files,
                     real_.processes, boxes_,          real_.loop,     real_.hotkeys,  real_.atoms,
                     real_.clock,     real_.procs,     real_.tray,     real_.registry, log_};
    DesktopScope scope_{desktop_};
};

TEST_F(ShellTest, StartWithAStoredFieldArmsAndShowsOnlyTheIcon) {
    Store("Field", "Invoice No");
    Store("Hotkey", std::to_string(kProbeKey).c_str());
    Store("HotKeyShift", "7");
    RunMain();

    ASSERT_TRUE(win32::IsMainWindowLoaded());
    EXPECT_TRUE(boxes_.shown.empty()) << boxes_.shown.at(0).text;
    const HWND main = MainWindow();
    EXPECT_FALSE(IsWindowVisible(main));
    EXPECT_EQ(TextOf(main), L"Vantrel");
    EXPECT_TRUE(TrayIconPresent(main)) << LastErrorText();
    EXPECT_TRUE(HotKeyTaken(kProbeModifiers, kProbeKey));
    EXPECT_EQ(Field1(), "Invoice No");
    EXPECT_EQ(AppLink().ProcedureType(), 2);
}

TEST_F(ShellTest, WindowHasItsDesignedFrameAndButtons) {
    Store("Field", "Invoice No");
    RunMain();
    const HWND main = MainWindow();
    ASSERT_NE(main, nullptr);

    const auto style = static_cast<DWORD>(GetWindowLongPtrW(main, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(main, GWL_EXSTYLE));
    EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0u);
    EXPECT_NE(style & WS_CAPTION, 0u);
    EXPECT_NE(exStyle & WS_EX_TOOLWINDOW, 0u);  // out of the task bar

    const win32::ScreenDc screen;
    const int dpiX = GetDeviceCaps(screen.get(), LOGPIXELSX);
    const int dpiY = GetDeviceCaps(screen.get(), LOGPIXELSY);
    const auto px = [](int twips, int dpi) { return MulDiv(twips, dpi, 1440); };

    RECT client{};
    GetClientRect(main, &client);
    EXPECT_EQ(client.right, px(1908, dpiX));
    EXPECT_EQ(client.bottom, px(1632, dpiY));
    RECT frame{};
    GetWindowRect(main, &frame);
    EXPECT_NEAR((frame.left + frame.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((frame.top + frame.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);

    struct Expected {
        const wchar_t* caption;
        int top;
    };
    // In tab order.
    const Expected buttons[] = {{L"Settings", 120}, {L"Exit", 1080}, {L"Minimize", 600}};
    HWND child = GetWindow(main, GW_CHILD);
    for (const Expected& b : buttons) {
        ASSERT_NE(child, nullptr) << "missing button " << win32::Narrow(b.caption);
        EXPECT_EQ(TextOf(child), b.caption);
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, px(120, dpiX));
        EXPECT_EQ(r.top, px(b.top, dpiY));
        EXPECT_EQ(r.right - r.left, px(855, dpiX));
        EXPECT_EQ(r.bottom - r.top, px(375, dpiY));
        child = GetWindow(child, GW_HWNDNEXT);
    }

    const auto icon = reinterpret_cast<HICON>(SendMessageW(main, WM_GETICON, ICON_SMALL, 0));
    EXPECT_NE(icon, nullptr);
}

TEST_F(ShellTest, FirstStartOpensTheSettingsDialogThenArms) {
    Store("Hotkey", std::to_string(kProbeKey).c_str());
    Store("HotKeyShift", "7");
    bool dialogSeen = false;
    {
        const WhileModal answer(AnswerSettingsDialog(&dialogSeen, L"Amount"));
        RunMain();
    }
    ASSERT_TRUE(win32::IsMainWindowLoaded());
    EXPECT_TRUE(boxes_.shown.empty()) << boxes_.shown.at(0).text;
    EXPECT_TRUE(dialogSeen);
    ASSERT_EQ(AppLink().colFields()->Count(), 1);
    EXPECT_EQ(Field1(), dialogSeen ? "Amount" : "");
    if (dialogSeen) {
        EXPECT_EQ(Stored("Field"), "Amount");
    }
    EXPECT_TRUE(HotKeyTaken(kProbeModifiers, kProbeKey));
    EXPECT_FALSE(IsWindowVisible(MainWindow()));
}

TEST_F(ShellTest, TrayMenuOffersItsItemsAtTheMouseAndExitReleasesEverything) {
    Store("Field", "Invoice No");
    Store("Hotkey", std::to_string(kProbeKey).c_str());
    Store("HotKeyShift", "7");
    RunMain();
    const HWND main = MainWindow();
    ASSERT_NE(main, nullptr);

    // Left clicks and double clicks open nothing.
    for (const int message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN}) {
        MenuSeen seen;
        const WhileModal work(WorkTheMenu(&seen, {VK_ESCAPE}));
        TrayNotifies(message);
        PumpMessagesUntil([] { return false; }, std::chrono::milliseconds(300));
        EXPECT_FALSE(seen.open) << "message " << message;
    }

    SetCursorPos(300, 200);
    MenuSeen dismissed;
    {
        const WhileModal work(WorkTheMenu(&dismissed, {VK_ESCAPE}));
        TrayNotifies(kRightButtonUp);
    }
    ASSERT_TRUE(dismissed.open);
    EXPECT_EQ(dismissed.items, (std::vector<std::wstring>{L"Settings", L"-", L"Exit", L"About"}));
    EXPECT_EQ(dismissed.at.x, 300);
    EXPECT_EQ(dismissed.at.y, 200);
    EXPECT_TRUE(win32::IsMainWindowLoaded());

    // Down runs Settings, Exit (past the separator); Enter chooses Exit, which
    // has run by the time the tray callback returns.
    MenuSeen chosen;
    {
        const WhileModal work(WorkTheMenu(&chosen, {VK_DOWN, VK_DOWN, VK_RETURN}));
        TrayNotifies(kRightButtonUp);
    }
    ASSERT_TRUE(chosen.open);
    EXPECT_FALSE(win32::IsMainWindowLoaded());
    EXPECT_FALSE(IsWindow(main));
    EXPECT_FALSE(TrayIconPresent(main));
    EXPECT_FALSE(HotKeyTaken(kProbeModifiers, kProbeKey));
    EXPECT_TRUE(boxes_.shown.empty()) << boxes_.shown.at(0).text;
}

TEST_F(ShellTest, UnreadableSettingsAreReportedAndRepairedThroughTheSettingsButton) {
    Store("Field", "Invoice No");
    Store("Hotkey", "F9");
    RunMain();

    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].text.rfind("error in Main: ", 0), 0u) << boxes_.shown[0].text;
    EXPECT_EQ(boxes_.shown[0].modality, Modality::System);
    const std::regex logged(R"(.* \(settings/\w+\.cpp:\d+\))");
    EXPECT_TRUE(std::any_of(log_.lines.begin(), log_.lines.end(), [&](const std::string& line) {
        return line.rfind(boxes_.shown[0].text, 0) == 0 && std::regex_match(line, logged);
    })) << "the box's text in the log, with where the failure was raised";
    ASSERT_TRUE(win32::IsMainWindowLoaded());
    const HWND main = MainWindow();
    EXPECT_TRUE(TrayIconPresent(main));

    // What the dialog's OK would leave in the settings; Cancel keeps it.
    clsSettings& s = AppLink().oSettings();
    s.HotKey(static_cast<std::int16_t>(kProbeKey));
    s.HotKeyShift(7);
    bool dialogSeen = false;
    {
        const WhileModal answer(AnswerSettingsDialog(&dialogSeen, std::nullopt));
        SendMessageW(main, WM_COMMAND,
                     MAKEWPARAM(static_cast<WORD>(MainCommand::cmdConfigure), BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetWindow(main, GW_CHILD)));
    }
    EXPECT_TRUE(dialogSeen);
    ASSERT_EQ(AppLink().colFields()->Count(), 1);
    EXPECT_EQ(Field1(), "Invoice No");
    EXPECT_TRUE(HotKeyTaken(kProbeModifiers, kProbeKey));
    EXPECT_EQ(AppLink().ProcedureType(), 2);
    EXPECT_EQ(boxes_.shown.size(), 1u);
}

TEST_F(ShellTest, ClosingTheWindowUnloadsItLikeExit) {
    Store("Field", "Invoice No");
    Store("Hotkey", std::to_string(kProbeKey).c_str());
    Store("HotKeyShift", "7");
    RunMain();
    const HWND main = MainWindow();
    SendMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_FALSE(win32::IsMainWindowLoaded());
    EXPECT_FALSE(TrayIconPresent(main));
    EXPECT_FALSE(HotKeyTaken(kProbeModifiers, kProbeKey));
}

TEST_F(ShellTest, ExitFromTheTrayEndsTheMessageLoop) {
    Store("Field", "Invoice No");
    RunMain();
    const HWND main = MainWindow();
    ASSERT_NE(main, nullptr);

    MenuSeen chosen;
    const WhileModal work(WorkTheMenu(&chosen, {VK_DOWN, VK_DOWN, VK_RETURN}));
    std::thread shell = NotifyFromAnotherThread(main, kRightButtonUp);
    EXPECT_TRUE(LoopEndsByItself());
    shell.join();
    EXPECT_TRUE(chosen.open);
    EXPECT_FALSE(win32::IsMainWindowLoaded());
    EXPECT_FALSE(TrayIconPresent(main));
}

TEST_F(ShellTest, ExitWhileTheAboutBoxIsOpenEndsTheProgramWhenTheBoxCloses) {
    Store("Field", "Invoice No");
    Store("Hotkey", std::to_string(kProbeKey).c_str());
    Store("HotKeyShift", "7");
    RunMain();
    const HWND main = MainWindow();
    ASSERT_NE(main, nullptr);

    // About from the menu, then Exit from it, then the box's OK; each step
    // waits for the one before, all inside the program's loop.
    MenuSeen aboutMenu;
    MenuSeen exitMenu;
    const auto chooseAbout = WorkTheMenu(&aboutMenu, {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
    const auto chooseExit = WorkTheMenu(&exitMenu, {VK_DOWN, VK_DOWN, VK_RETURN});
    std::vector<std::thread> shell;
    bool releasedWhileAboutOpen = false;
    int step = 0;
    const WhileModal work([&] {
        switch (step) {
            case 0:
                shell.push_back(NotifyFromAnotherThread(main, kRightButtonUp));
                ++step;
                return false;
            case 1:
                if (chooseAbout())
                    ++step;
                return false;
            case 2:
                if (!IsAboutBoxLoaded())
                    return false;
                shell.push_back(NotifyFromAnotherThread(main, kRightButtonUp));
                ++step;
                return false;
            case 3:
                if (chooseExit())
                    ++step;
                return false;
            default: {
                if (win32::IsMainWindowLoaded())
                    return false;
                releasedWhileAboutOpen = IsAboutBoxLoaded() && !TrayIconPresent(main) &&
                                         !HotKeyTaken(kProbeModifiers, kProbeKey);
                const HWND about = FindThreadWindow(L"About Vantrel");
                PostMessageW(GetDlgItem(about, IDC_ABOUT_OK), BM_CLICK, 0, 0);
                return true;
            }
        }
    });
    EXPECT_TRUE(LoopEndsByItself());
    for (std::thread& t : shell) t.join();
    EXPECT_TRUE(aboutMenu.open);
    EXPECT_TRUE(exitMenu.open);
    EXPECT_TRUE(releasedWhileAboutOpen);
    EXPECT_FALSE(IsAboutBoxLoaded());
}

}  // namespace
}  // namespace vantrel
