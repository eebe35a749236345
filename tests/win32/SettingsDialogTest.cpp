// The settings dialog as a real window: keys reach its hotkey box as key
// messages with the keyboard state set to match, buttons are clicked, and
// the settings land in an in-memory store, so the user's own stay untouched.

#include <windows.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "Win32TestSupport.h"
#include "fake/FakeDesktop.h"
#include "link/clsAppLink.h"
#include "resources/DialogLayout_win.h"
#include "resources/resource.h"
#include "settings/SettingsDialog.h"

namespace vantrel {
namespace {

using testing::LastErrorText;

constexpr wchar_t kCaption[] = L"Vantrel Settings";

std::wstring TextOf(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, static_cast<int>(std::size(text)));
    return text;
}

HWND FindDialog() {
    struct Search {
        HWND found = nullptr;
    } search;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM p) CALLBACK -> BOOL {
            if (TextOf(w) != kCaption)
                return TRUE;
            reinterpret_cast<Search*>(p)->found = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The keyboard as GetKeyState will report it: modifiers as 1 Shift, 2 Ctrl, 4 Alt.
void HoldModifiers(int state) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    const auto hold = [&](std::initializer_list<int> vks, bool down) {
        for (const int vk : vks) keys[vk] = down ? 0x80 : 0;
    };
    hold({VK_SHIFT, VK_LSHIFT}, (state & 1) != 0);
    hold({VK_CONTROL, VK_LCONTROL}, (state & 2) != 0);
    hold({VK_MENU, VK_LMENU}, (state & 4) != 0);
    SetKeyboardState(keys);
}

// A key pressed in the box as the system posts it: with Alt (or F10) it is a
// system key. The modifiers stay held until the next step releases them.
void Press(HWND box, int vk, int state) {
    HoldModifiers(state);
    const bool system = (state & 4) != 0 || vk == VK_F10;
    const LPARAM lParam = 1 | (MapVirtualKeyW(static_cast<UINT>(vk), MAPVK_VK_TO_VSC) << 16) |
                          ((state & 4) != 0 ? (1 << 29) : 0);
    PostMessageW(box, system ? WM_SYSKEYDOWN : WM_KEYDOWN, static_cast<WPARAM>(vk), lParam);
}

// Steps run one per timer tick inside the dialog's own modal loop, each after
// the messages the previous one posted have been handled.
using Step = std::function<void(HWND dialog)>;

struct Script {
    std::vector<Step> steps;
    std::size_t next = 0;
    int idleTicks = 0;
    bool sawDialog = false;
};
Script* gScript = nullptr;

void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) {
    Script& s = *gScript;
    const HWND dialog = FindDialog();
    if (dialog == nullptr)
        return;
    s.sawDialog = true;
    if (s.next < s.steps.size()) {
        HoldModifiers(0);
        s.steps[s.next++](dialog);
    } else if (++s.idleTicks == 20) {
        ADD_FAILURE() << "the dialog stayed open after the last step";
        PostMessageW(dialog, WM_CLOSE, 0, 0);
    }
}

// Opens the dialog modally with the settings in force and works through
// `steps`; returns when it closes. What OK gives back is saved, as the main
// window does.
void RunDialog(std::vector<Step> steps, HWND owner = nullptr) {
    Script script{std::move(steps)};
    gScript = &script;
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, &OnTick);
    ASSERT_NE(timer, 0u) << LastErrorText();
    const std::optional<SettingsValues> confirmed =
        ShowSettingsDialog(reinterpret_cast<WindowHandle>(owner), AppLink().oSettings().Values());
    if (confirmed) {
        AppLink().oSettings().Assign(*confirmed);
        AppLink().oSettings().SaveSettings();
    }
    KillTimer(nullptr, timer);
    HoldModifiers(0);
    gScript = nullptr;
    EXPECT_TRUE(script.sawDialog);
    EXPECT_EQ(script.next, script.steps.size()) << "the dialog closed before the last step";
    EXPECT_EQ(FindDialog(), nullptr) << "the window is gone once the call returns";
}

HWND Item(HWND dialog, int id) {
    return GetDlgItem(dialog, id);
}
std::wstring ItemText(HWND dialog, int id) {
    return TextOf(Item(dialog, id));
}
void Click(HWND dialog, int id) {
    PostMessageW(Item(dialog, id), BM_CLICK, 0, 0);
}

class SettingsDialogTest : public ::testing::Test {
  protected:
    SettingsDialogTest() { ResetAppLink(); }
    ~SettingsDialogTest() override { ResetAppLink(); }
    std::string Stored(const char* key) {
        const auto it = d.settings.values.find(fake::FakeSettingsStore::Key(key));
        return it == d.settings.values.end() ? "<absent>" : it->second;
    }
    int Writes() const { return d.journal.CountOf("SettingsStore.Write"); }

    fake::FakeDesktop d;
};

TEST_F(SettingsDialogTest, ShowsTheSettingsAndSavesTheKeysPressedInTheBox) {
    d.settings.Store("SourceWindow", "Kundenübersicht");
    d.settings.Store("Field", "acct_no");
    d.settings.Store("SaveNext", "True");
    AppLink().oSettings().GetSettings();
    RunDialog({
        [](HWND dlg) {
            EXPECT_EQ(ItemText(dlg, IDC_SETTINGS_HOTKEY), L" F11");
            EXPECT_EQ(ItemText(dlg, IDC_SETTINGS_SOURCE_WINDOW), L"Kundenübersicht");
            EXPECT_EQ(ItemText(dlg, IDC_SETTINGS_INDEX_FIELD), L"acct_no");
            EXPECT_EQ(IsDlgButtonChecked(dlg, IDC_SETTINGS_SAVE_NEXT),
                      static_cast<UINT>(BST_CHECKED));
            EXPECT_EQ(GetFocus(), Item(dlg, IDC_SETTINGS_SOURCE_WINDOW))
                << "focus starts on the title";
            SetFocus(Item(dlg, IDC_SETTINGS_HOTKEY));
            Press(Item(dlg, IDC_SETTINGS_HOTKEY), VK_F5, 6);
        },
        [](HWND dlg) {
            EXPECT_EQ(ItemText(dlg, IDC_SETTINGS_HOTKEY), L"Ctrl-Alt F5");
            Press(Item(dlg, IDC_SETTINGS_HOTKEY), 'A',
                  1);  // its character follows through the loop
        },
        [](HWND dlg) {
            EXPECT_EQ(ItemText(dlg, IDC_SETTINGS_HOTKEY), L"Ctrl-Alt F5") << "Shift+A is not taken";
            PostMessageW(Item(dlg, IDC_SETTINGS_HOTKEY), WM_CHAR, 'x', 1);
            Press(Item(dlg, IDC_SETTINGS_HOTKEY), VK_CONTROL, 2);
        },
        [](HWND dlg) { Press(Item(dlg, IDC_SETTINGS_HOTKEY), VK_BACK, 0); },
        [](HWND dlg) {
            EXPECT_EQ(ItemText(dlg, IDC_SETTINGS_HOTKEY), L"Ctrl-Alt F5")
                << "nothing typed replaces it";
            SendMessageW(Item(dlg, IDC_SETTINGS_HOTKEY), WM_PASTE, 0, 0);
            EXPECT_EQ(ItemText(dlg, IDC_SETTINGS_HOTKEY), L"Ctrl-Alt F5")
                << "nothing pasted either";
            Click(dlg, IDC_SETTINGS_SAVE_NEXT);  // unchecks it
            Click(dlg, IDC_SETTINGS_OK);
        },
    });
    const clsSettings& s = AppLink().oSettings();
    EXPECT_EQ(s.HotKey(), 116);
    EXPECT_EQ(s.HotKeyShift(), 6);
    EXPECT_EQ(s.HotKeyMod(), 3);
    EXPECT_FALSE(s.savenext());
    EXPECT_EQ(Stored("Hotkey"), "116");
    EXPECT_EQ(Stored("HotKeyShift"), "6");
    EXPECT_EQ(Stored("SaveNext"), "False");
    EXPECT_EQ(Stored("SourceWindow"), "Kundenübersicht");
    EXPECT_EQ(Stored("Field"), "acct_no");
    EXPECT_TRUE(d.boxes.shown.empty());
}

TEST_F(SettingsDialogTest, KeysTheBoxTakesAndShows) {
    struct Row {
        int vk, state;
        const wchar_t* shown;
    };
    // clang-format off
    static const Row kRows[] = {
        {VK_F12, 0, L" F12"},   {'A', 4, L"Alt A"},        {VK_F10, 0, L" F10"},
        {VK_F4, 4, L"Alt F4"},  {'7', 3, L"Ctrl-Shift 7"}, {0x3B, 2, L"Ctrl "},
        {VK_F1, 1, L"Shift F1"},
    };
    // clang-format on
    std::vector<Step> steps;
    for (std::size_t i = 0; i < std::size(kRows); ++i) {
        steps.push_back([i](HWND dlg) {
            if (i > 0) {
                EXPECT_EQ(ItemText(dlg, IDC_SETTINGS_HOTKEY), kRows[i - 1].shown)
                    << "key " << kRows[i - 1].vk << " state " << kRows[i - 1].state;
            }
            Press(Item(dlg, IDC_SETTINGS_HOTKEY), kRows[i].vk, kRows[i].state);
        });
    }
    steps.push_back([](HWND dlg) {
        EXPECT_EQ(ItemText(dlg, IDC_SETTINGS_HOTKEY), kRows[std::size(kRows) - 1].shown);
        EXPECT_TRUE(IsWindow(dlg)) << "Alt+F4 and F10 in the box neither close nor open a menu";
        Click(dlg, IDC_SETTINGS_OK);
    });
    AppLink().oSettings().GetSettings();
    RunDialog(steps);
    EXPECT_EQ(AppLink().oSettings().HotKey(), VK_F1);
    EXPECT_EQ(AppLink().oSettings().HotKeyShift(), 1);
}

// The whole road of a real keystroke: the system's input queue, the key
// state it keeps, the dialog manager and the box.
TEST_F(SettingsDialogTest, RealKeystrokesReachTheBox) {
    AppLink().oSettings().GetSettings();
    bool reached = false;
    HWND foreground = nullptr;
    RunDialog({
        [&foreground](HWND dlg) {
            SetForegroundWindow(dlg);
            SetFocus(Item(dlg, IDC_SETTINGS_HOTKEY));
            foreground = GetForegroundWindow();
            const WORD keys[] = {VK_CONTROL, VK_MENU, VK_F6};
            std::vector<INPUT> inputs;
            for (const WORD vk : keys) {
                INPUT in{};
                in.type = INPUT_KEYBOARD;
                in.ki.wVk = vk;
                inputs.push_back(in);
            }
            for (auto it = std::rbegin(keys); it != std::rend(keys); ++it) {
                INPUT in{};
                in.type = INPUT_KEYBOARD;
                in.ki.wVk = *it;
                in.ki.dwFlags = KEYEVENTF_KEYUP;
                inputs.push_back(in);
            }
            EXPECT_EQ(SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)),
                      inputs.size())
                << LastErrorText();
        },
        [](HWND) {},  // the input arrives
        [&reached](HWND dlg) {
            reached = ItemText(dlg, IDC_SETTINGS_HOTKEY) == L"Ctrl-Alt F6";
            EXPECT_TRUE(IsWindow(dlg));
            Click(dlg, IDC_SETTINGS_OK);
        },
    });
    if (!reached && foreground == nullptr)
        GTEST_SKIP() << "no window of this program can take the input here";
    EXPECT_TRUE(reached);
    EXPECT_EQ(AppLink().oSettings().HotKey(), VK_F6);
    EXPECT_EQ(AppLink().oSettings().HotKeyShift(), 6);
}

TEST_F(SettingsDialogTest, EmptyIndexFieldIsRefusedAndTheDialogStaysOpen) {
    AppLink().oSettings().GetSettings();
    RunDialog({
        [](HWND dlg) {
            SetDlgItemTextW(dlg, IDC_SETTINGS_INDEX_FIELD, L"");
            Press(Item(dlg, IDC_SETTINGS_HOTKEY), VK_F9, 0);
        },
        [](HWND dlg) { Click(dlg, IDC_SETTINGS_OK); },
        [this](HWND dlg) {
            ASSERT_EQ(d.boxes.shown.size(), 1u);
            EXPECT_EQ(d.boxes.shown[0].text,
                      "error: cannot save settings.  Please enter a field to search.");
            EXPECT_EQ(d.boxes.shown[0].caption, "Vantrel");
            EXPECT_EQ(ItemText(dlg, IDC_SETTINGS_HOTKEY), L" F9") << "what was entered stays";
            Click(dlg, IDC_SETTINGS_CANCEL);
        },
    });
    EXPECT_EQ(Writes(), 0);
    EXPECT_EQ(AppLink().oSettings().HotKey(), 122);
    EXPECT_EQ(AppLink().oSettings().Field(), "");
}

// Every value set by policy: the dialog still opens and shows them, none can be
// changed, and OK writes none into the user's store.
TEST_F(SettingsDialogTest, ValuesAPolicySetsAreShownButCannotBeChanged) {
    for (const auto& [key, value] : {std::pair{"SourceWindow", "Billing"},
                                     {"Field", "policy_field"},
                                     {"AppName", ""},
                                     {"Hotkey", "120"},
                                     {"HotKeyShift", "0"},
                                     {"SaveNext", "True"}})
        d.settings.machinePolicy[fake::FakeSettingsStore::Key(key)] = value;
    AppLink().oSettings().GetSettings();
    RunDialog({
        [](HWND dlg) {
            EXPECT_EQ(ItemText(dlg, IDC_SETTINGS_INDEX_FIELD), L"policy_field");
            for (const int id : {IDC_SETTINGS_SOURCE_WINDOW, IDC_SETTINGS_INDEX_FIELD})
                EXPECT_NE(GetWindowLongW(Item(dlg, id), GWL_STYLE) & ES_READONLY, 0) << id;
            EXPECT_FALSE(IsWindowEnabled(Item(dlg, IDC_SETTINGS_HOTKEY)));
            EXPECT_FALSE(IsWindowEnabled(Item(dlg, IDC_SETTINGS_SAVE_NEXT)));
            Press(Item(dlg, IDC_SETTINGS_HOTKEY), VK_F5, 0);
        },
        [](HWND dlg) {
            EXPECT_EQ(ItemText(dlg, IDC_SETTINGS_HOTKEY), L" F9");
            Click(dlg, IDC_SETTINGS_OK);
        },
    });
    EXPECT_EQ(Writes(), 0);
    EXPECT_EQ(AppLink().oSettings().HotKey(), 120);
}

// The dialog saves nothing itself: its caller saves what it gives back.
TEST_F(SettingsDialogTest, OkGivesTheEntriesBackAndWritesNothingItself) {
    AppLink().oSettings().GetSettings();
    Script script{{
        [](HWND dlg) {
            EXPECT_FALSE(ShowSettingsDialog(0, AppLink().oSettings().Values()))
                << "a second dialog ran";
            SetDlgItemTextW(dlg, IDC_SETTINGS_SOURCE_WINDOW, L"Kundenübersicht");
            Press(Item(dlg, IDC_SETTINGS_HOTKEY), VK_F9, 0);
        },
        [](HWND dlg) { Click(dlg, IDC_SETTINGS_OK); },
    }};
    gScript = &script;
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, &OnTick);
    const std::optional<SettingsValues> confirmed =
        ShowSettingsDialog(0, AppLink().oSettings().Values());
    KillTimer(nullptr, timer);
    HoldModifiers(0);
    gScript = nullptr;
    ASSERT_TRUE(confirmed);
    EXPECT_EQ(confirmed->sourceAppTitle, "Kundenübersicht");
    EXPECT_EQ(confirmed->field, "last_name");
    EXPECT_EQ(confirmed->hotKey, VK_F9);
    EXPECT_EQ(Writes(), 0);
    EXPECT_EQ(AppLink().oSettings().SourceAppTitle(), "")
        << "nor does it change the settings object";
}

TEST_F(SettingsDialogTest, EnterAndEscDoNotCloseItButTheCloseBoxCancels) {
    d.settings.Store("Field", "acct_no");
    AppLink().oSettings().GetSettings();
    RunDialog({
        [](HWND dlg) {
            Press(Item(dlg, IDC_SETTINGS_HOTKEY), VK_F7, 0);
            SetFocus(Item(dlg, IDC_SETTINGS_SOURCE_WINDOW));
            // Through the modal loop's dialog manager, as a real keystroke goes.
            PostMessageW(Item(dlg, IDC_SETTINGS_SOURCE_WINDOW), WM_KEYDOWN, VK_RETURN, 1);
            PostMessageW(Item(dlg, IDC_SETTINGS_SOURCE_WINDOW), WM_KEYDOWN, VK_ESCAPE, 1);
        },
        [this](HWND dlg) {
            EXPECT_TRUE(IsWindow(dlg));
            EXPECT_EQ(Writes(), 0);
            PostMessageW(dlg, WM_CLOSE, 0, 0);
        },
    });
    EXPECT_EQ(Writes(), 0);
    EXPECT_EQ(AppLink().oSettings().HotKey(), 122);
}

TEST_F(SettingsDialogTest, AnOrdinaryResizableWindowLaidOutInTwips) {
    AppLink().oSettings().GetSettings();
    const testing::TestWindow owner(L"settings owner", WS_OVERLAPPEDWINDOW);
    RunDialog(
        {
            [&owner](HWND dlg) {
                EXPECT_FALSE(IsWindowEnabled(owner.get())) << "modal to its owner";
                const auto style = static_cast<DWORD>(GetWindowLongPtrW(dlg, GWL_STYLE));
                const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(dlg, GWL_EXSTYLE));
                EXPECT_TRUE(style & WS_THICKFRAME);
                EXPECT_TRUE(style & WS_MINIMIZEBOX);
                EXPECT_TRUE(style & WS_MAXIMIZEBOX);
                EXPECT_TRUE(exStyle & WS_EX_APPWINDOW) << "shown in the task bar";
                EXPECT_NE(SendMessageW(dlg, WM_GETICON, ICON_BIG, 0), 0);
                EXPECT_NE(SendMessageW(dlg, WM_GETICON, ICON_SMALL, 0), 0);

                const int dpi = win32::WindowDpi(dlg);
                RECT client{};
                GetClientRect(dlg, &client);
                EXPECT_NEAR(client.right, win32::TwipsToPixels(7260, dpi), 1);
                EXPECT_NEAR(client.bottom, win32::TwipsToPixels(3300, dpi), 1);
                struct Place {
                    int id, left, top, width, height;
                };
                const Place places[] = {{IDC_SETTINGS_HOTKEY, 2160, 240, 2055, 375},
                                        {IDC_SETTINGS_SAVE_NEXT, 5280, 1320, 1572, 252},
                                        {IDC_SETTINGS_CANCEL, 3840, 1920, 1215, 375}};
                for (const Place& p : places) {
                    RECT r{};
                    GetWindowRect(Item(dlg, p.id), &r);
                    MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&r), 2);
                    EXPECT_EQ(r.left, win32::TwipsToPixels(p.left, dpi)) << p.id;
                    EXPECT_EQ(r.top, win32::TwipsToPixels(p.top, dpi)) << p.id;
                    EXPECT_EQ(r.right - r.left, win32::TwipsToPixels(p.width, dpi)) << p.id;
                    EXPECT_EQ(r.bottom - r.top, win32::TwipsToPixels(p.height, dpi)) << p.id;
                }
                // Tab order: title, index field, OK, Cancel, check box, hotkey box.
                const int order[] = {
                    IDC_SETTINGS_SOURCE_WINDOW, IDC_SETTINGS_INDEX_FIELD, IDC_SETTINGS_OK,
                    IDC_SETTINGS_CANCEL,        IDC_SETTINGS_HOTKEY,      IDC_SETTINGS_SAVE_NEXT};
                HWND at = Item(dlg, order[0]);
                for (std::size_t i = 1; i < std::size(order); ++i) {
                    at = GetNextDlgTabItem(dlg, at, FALSE);
                    EXPECT_EQ(GetDlgCtrlID(at), order[i]) << "tab stop " << i;
                }
                Click(dlg, IDC_SETTINGS_CANCEL);
            },
        },
        owner.get());
    EXPECT_TRUE(IsWindowEnabled(owner.get())) << "the owner is enabled again";
}

}  // namespace
}  // namespace vantrel
