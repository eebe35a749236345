// The settings dialog's window: the controls of frmSettings laid out in code,
// a hotkey box that reports key presses, and a modal loop of its own.

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <optional>
#include <string>
#include <utility>

#include "platform/ErrorBox.h"
#include "platform/ScopeExit.h"
#include "platform/win32/Unicode.h"
#include "platform/win32/Win32Error.h"
#include "platform/win32/Win32MessageLoop.h"
#include "resources/DialogLayout_win.h"
#include "resources/DialogProc_win.h"
#include "resources/resource.h"
#include "settings/SettingsDialog.h"
#include "settings/frmSettings.h"

namespace vantrel {

namespace {

using win32::ControlKind;
using win32::ControlLayout;

constexpr int kClientWidthTwips = 7260;
constexpr int kClientHeightTwips = 3300;

// In tab order: focus starts in the source window's title, and Tab runs
// through the index field and OK before the hotkey box.
// clang-format off
constexpr std::array<ControlLayout, 10> kControls = {{
    //  id                            kind                          text                   left   top  width height    tab
    {IDC_SETTINGS_SOURCE_WINDOW,  ControlKind::TextBox,         L"",                   2160,  720, 2775, 375},  // 0
    {IDC_SETTINGS_INDEX_FIELD,    ControlKind::TextBox,         L"last_name",          2160, 1200, 2772, 375},  // 1
    {IDC_SETTINGS_OK,             ControlKind::Button,          L"OK",                 2280, 1920, 1215, 375},  // 2
    {IDC_SETTINGS_INDEX_LABEL,    ControlKind::Label,           L"Index Field",         480, 1320, 1452, 252},  // 3
    {IDC_SETTINGS_CANCEL,         ControlKind::Button,          L"Cancel",             3840, 1920, 1215, 375},  // 4
    {IDC_SETTINGS_SOURCE_LABEL,   ControlKind::Label,           L"Source Window Title", 480,  840, 1575, 255},  // 5
    {IDC_SETTINGS_OPTIONAL_LABEL, ControlKind::Label,           L"(optional)",         5040,  840,  855, 255},  // 6
    {IDC_SETTINGS_HOTKEY,         ControlKind::ReadOnlyTextBox, L"F11",                2160,  240, 2055, 375},  // 7
    {IDC_SETTINGS_HOTKEY_LABEL,   ControlKind::Label,           L"HotKey",              480,  360, 1455, 255},  // 8
    {IDC_SETTINGS_SAVE_NEXT,      ControlKind::CheckBox,        L"Auto Save/Next",     5280, 1320, 1572, 252},  // 9
}};
// clang-format on

constexpr UINT_PTR kHotKeyBoxSubclass = 1;

struct SettingsWindow {
    frmSettings form;
    frmSettingsView view;
    std::optional<SettingsValues> confirmed;
    HWND hwnd = nullptr;
    bool closed = false;
    int dpi = 96;
    win32::UniqueHfont font;
    // Icons outlive the window that shows them: members end after the window.
    win32::ProgramIcon bigIcon{GetSystemMetrics(SM_CXICON)};
    win32::ProgramIcon smallIcon{GetSystemMetrics(SM_CXSMICON)};

    Handler Where(UINT message, WPARAM wParam) const;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
};

std::wstring ControlText(HWND dialog, int id) {
    const HWND control = GetDlgItem(dialog, id);
    const int length = GetWindowTextLengthW(control);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), length + 1)));
    return text;
}

void SetControlText(HWND dialog, int id, const std::string& text) {
    SetDlgItemTextW(dialog, id, win32::Widen(text).c_str());
}

// The key events report modifiers as 1 Shift, 2 Ctrl, 4 Alt, as the
// keyboard stood when the key message was posted.
int ModifierState() {
    int state = 0;
    if (GetKeyState(VK_SHIFT) < 0)
        state |= 1;
    if (GetKeyState(VK_CONTROL) < 0)
        state |= 2;
    if (GetKeyState(VK_MENU) < 0)
        state |= 4;
    return state;
}

// The hotkey box takes key presses, never typed characters: what it shows is
// always what OK saves. System keys (Alt combinations, F10) stop here too, so
// they neither beep nor open the window menu, and Alt+F4 can be chosen.
LRESULT CALLBACK HotKeyBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                               DWORD_PTR data) {
    auto* state = reinterpret_cast<SettingsWindow*>(data);
    switch (message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            RunHandler(Handler::frmSettings_txtHotKey_KeyDown, [&] {
                const int key = static_cast<int>(wParam);
                if (const auto shown = state->form.txtHotKey_KeyDown(key, ModifierState())) {
                    SetWindowTextW(box, win32::Widen(*shown).c_str());
                }
            });
            if (message == WM_SYSKEYDOWN)
                return 0;
            break;  // the box still moves its caret as usual
        case WM_SYSKEYUP:
        case WM_CHAR:
        case WM_SYSCHAR:
        case WM_DEADCHAR:
        case WM_SYSDEADCHAR:
            return 0;
        case WM_NCDESTROY:
            RemoveWindowSubclass(box, HotKeyBoxProc, kHotKeyBoxSubclass);
            break;
        default:
            break;
    }
    return DefSubclassProc(box, message, wParam, lParam);
}

// The old font goes only after the controls have taken the new one.
void ApplyLayout(SettingsWindow& s, int dpi) {
    s.dpi = dpi;
    win32::UniqueHfont font = win32::CreateMessageFont(dpi);
    win32::PlaceControls(s.hwnd, kControls, font.get(), dpi);
    s.font = std::move(font);
}

void OnInitDialog(SettingsWindow& s) {
    s.dpi = win32::BuildControls(s.hwnd, kControls, s.font);
    const SIZE size =
        win32::WindowSizeForClient(s.hwnd, kClientWidthTwips, kClientHeightTwips, s.dpi);
    SetWindowPos(s.hwnd, nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(s.hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(s.bigIcon.get()));
    SendMessageW(s.hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(s.smallIcon.get()));
    SetWindowSubclass(GetDlgItem(s.hwnd, IDC_SETTINGS_HOTKEY), HotKeyBoxProc, kHotKeyBoxSubclass,
                      reinterpret_cast<DWORD_PTR>(&s));

    SetWindowTextW(s.hwnd, win32::Widen(s.view.caption).c_str());
    SetControlText(s.hwnd, IDC_SETTINGS_HOTKEY, s.view.txtHotKey);
    SetControlText(s.hwnd, IDC_SETTINGS_SOURCE_WINDOW, s.view.txtSourceWindow);
    SetControlText(s.hwnd, IDC_SETTINGS_INDEX_FIELD, s.view.txtIndexField);
    CheckDlgButton(s.hwnd, IDC_SETTINGS_SAVE_NEXT,
                   s.view.chkSaveNext ? BST_CHECKED : BST_UNCHECKED);

    // What a policy enforces is shown but cannot be changed; the text boxes
    // stay read-only rather than disabled, so their text can still be copied.
    const SettingsLocks& locked = s.view.locked;
    if (locked.sourceAppTitle)
        SendDlgItemMessageW(s.hwnd, IDC_SETTINGS_SOURCE_WINDOW, EM_SETREADONLY, TRUE, 0);
    if (locked.field)
        SendDlgItemMessageW(s.hwnd, IDC_SETTINGS_INDEX_FIELD, EM_SETREADONLY, TRUE, 0);
    EnableWindow(GetDlgItem(s.hwnd, IDC_SETTINGS_HOTKEY), !locked.hotKey);
    EnableWindow(GetDlgItem(s.hwnd, IDC_SETTINGS_SAVE_NEXT), !locked.saveNext);
}

void OnOk(SettingsWindow& s) {
    frmSettingsView edited = s.view;
    edited.txtSourceWindow = win32::Narrow(ControlText(s.hwnd, IDC_SETTINGS_SOURCE_WINDOW));
    edited.txtIndexField = win32::Narrow(ControlText(s.hwnd, IDC_SETTINGS_INDEX_FIELD));
    edited.txtHotKey = win32::Narrow(ControlText(s.hwnd, IDC_SETTINGS_HOTKEY));
    edited.chkSaveNext = IsDlgButtonChecked(s.hwnd, IDC_SETTINGS_SAVE_NEXT) != BST_UNCHECKED;
    s.confirmed = s.form.cmdOK_Click(edited);
    if (s.confirmed)
        s.closed = true;
}

// Neither button is bound to Enter or Esc: the dialog manager's IDOK and
// IDCANCEL only click a button that has the focus, as Enter on a focused
// button does anywhere.
void OnCommand(SettingsWindow& s, int id) {
    if (id == IDOK || id == IDCANCEL) {
        const HWND focus = GetFocus();
        const int focused =
            focus != nullptr && GetParent(focus) == s.hwnd ? GetDlgCtrlID(focus) : 0;
        if (id == IDOK && (focused == IDC_SETTINGS_OK || focused == IDC_SETTINGS_CANCEL))
            id = focused;
        else
            return;
    }
    if (id == IDC_SETTINGS_OK)
        OnOk(s);
    if (id == IDC_SETTINGS_CANCEL && s.form.cmdCancel_Click())
        s.closed = true;
}

Handler SettingsWindow::Where(UINT message, WPARAM wParam) const {
    if (message == WM_INITDIALOG)
        return Handler::frmSettings_Form_Load;
    if (message == WM_COMMAND)
        return LOWORD(wParam) == IDC_SETTINGS_CANCEL ? Handler::frmSettings_cmdCancel_Click
                                                     : Handler::frmSettings_cmdOK_Click;
    return Handler::frmSettings;
}

INT_PTR SettingsWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog(*this);
            SetFocus(GetDlgItem(hwnd, IDC_SETTINGS_SOURCE_WINDOW));
            return FALSE;  // the focus is set
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED)
                OnCommand(*this, LOWORD(wParam));
            return TRUE;
        case WM_CLOSE:  // the close box cancels
            if (form.cmdCancel_Click())
                closed = true;
            return TRUE;
        case WM_CTLCOLORSTATIC:
            // The hotkey box is read-only only so that nothing can be typed or
            // pasted into it; it looks like any text box, unless a policy locks it.
            if (reinterpret_cast<HWND>(lParam) == GetDlgItem(hwnd, IDC_SETTINGS_HOTKEY) &&
                !view.locked.hotKey) {
                const auto dc = reinterpret_cast<HDC>(wParam);
                SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
                SetBkColor(dc, GetSysColor(COLOR_WINDOW));
                return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
            }
            return FALSE;
        case WM_DPICHANGED:
            win32::FollowDpiChange(hwnd, wParam, lParam,
                                   [this](int newDpi) { ApplyLayout(*this, newDpi); });
            return TRUE;
        case WM_NCDESTROY:
            closed = true;
            hwnd = nullptr;
            return FALSE;
        default:
            return FALSE;
    }
}

// Until OK or Cancel closes the dialog. A quit request ends it too and is
// passed on to the loop outside.
void RunModalLoop(SettingsWindow& s) {
    win32::RunMessagesUntil([&] { return s.closed; }, true);
}

// The dialog now open, if any: there is never a second one.
HWND gOpenDialog = nullptr;

}  // namespace

std::optional<SettingsValues> ShowSettingsDialog(WindowHandle owner, const SettingsValues& values) {
    if (gOpenDialog != nullptr && IsWindow(gOpenDialog)) {
        SetForegroundWindow(gOpenDialog);
        return std::nullopt;
    }
    SettingsWindow s;
    // Outside any window procedure, so a failure reaches the opener.
    s.view = s.form.Form_Load(values);

    const HWND ownerWindow = reinterpret_cast<HWND>(owner);
    constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    constexpr DWORD kExStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;
    win32::UniqueHwnd dialog(win32::CheckLastError(
        win32::CreateEmptyDialog(ownerWindow, kStyle, kExStyle, win32::DialogProc<SettingsWindow>,
                                 reinterpret_cast<LPARAM>(&s)),
        "CreateDialogIndirectParam"));

    // Declared after the dialog, so the owner is enabled again before the dialog
    // goes and activation returns to it rather than to another program.
    // The owner is disabled for as long as its modal dialog is open, if it was enabled.
    const HWND disabled =
        ownerWindow != nullptr && IsWindowEnabled(ownerWindow) ? ownerWindow : nullptr;
    if (disabled != nullptr)
        EnableWindow(disabled, FALSE);
    const ScopeExit enable([disabled] {
        if (disabled != nullptr)
            EnableWindow(disabled, TRUE);
    });
    ShowWindow(dialog.get(), SW_SHOWNORMAL);
    SetForegroundWindow(dialog.get());
    gOpenDialog = dialog.get();
    RunModalLoop(s);
    gOpenDialog = nullptr;
    if (s.hwnd == nullptr)
        dialog.release();  // already destroyed with its owner
    return s.confirmed;
}

}  // namespace vantrel
