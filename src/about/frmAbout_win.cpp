// The about box's window: modeless, one at a time, laid out in code.

#include <windows.h>

#include <array>
#include <memory>
#include <utility>

#include "about/AboutBox.h"
#include "about/frmAbout.h"
#include "platform/ErrorBox.h"
#include "platform/ScopeExit.h"
#include "platform/win32/Unicode.h"
#include "platform/win32/Win32Error.h"
#include "resources/DialogLayout_win.h"
#include "resources/DialogProc_win.h"
#include "resources/resource.h"

namespace vantrel {

namespace {

using win32::ControlKind;
using win32::ControlLayout;

constexpr int kClientLeftTwips = 2340;
constexpr int kClientTopTwips = 1932;
constexpr int kClientWidthTwips = 4608;
constexpr int kClientHeightTwips = 3564;

// In tab order; focus starts on OK.
// clang-format off
constexpr std::array<ControlLayout, 7> kControls = {{
    //  id                       kind                        text                 left   top  width height    tab
    {IDC_ABOUT_OK,          ControlKind::DefaultButton, L"OK",               3120, 2625, 1260, 345},  // 0
    {IDC_ABOUT_ICON,        ControlKind::Icon,          L"",                  240,  240,  432, 432},  // 1
    {IDC_ABOUT_SYSINFO,     ControlKind::Button,        L"&System Info...",  3120, 3075, 1245, 345},  // 2
    {IDC_ABOUT_DESCRIPTION, ControlKind::Label,         L"",                 1056, 1128, 2556, 684},  // 3
    {IDC_ABOUT_DISCLAIMER,  ControlKind::Label,         L"",                  252, 2628, 2640, 828},  // 4
    {IDC_ABOUT_TITLE,       ControlKind::Label,         L"",                 1056,  240, 2556, 480},  // 5
    {IDC_ABOUT_VERSION,     ControlKind::Label,         L"",                 1056,  780, 2556, 228},  // 6
}};
// clang-format on

// The etched separator: a grey line with a white one just below it.
struct SeparatorLine {
    int left, top, right;  // twips
    COLORREF colour;
    int widthPixels;
};
constexpr std::array<SeparatorLine, 2> kSeparator = {{
    {96, 2448, 4320, RGB(128, 128, 128), 1},
    {108, 2472, 4320, RGB(255, 255, 255), 2},
}};

struct AboutWindow {
    HWND hwnd = nullptr;
    int dpi = 96;
    win32::UniqueHfont font;
    win32::ProgramIcon smallIcon{GetSystemMetrics(SM_CXSMICON)};
    std::unique_ptr<win32::ProgramIcon> picture;  // sized for the window's DPI
    // Owner of the box, never shown: an owned window stays out of the task bar
    // without becoming a tool window with a small caption.
    win32::UniqueHwnd owner;

    Handler Where(UINT message, WPARAM wParam) const;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
};

std::unique_ptr<AboutWindow> gAbout;

// The old font and picture go only after the controls have taken the new ones.
void Layout(AboutWindow& a, int dpi) {
    a.dpi = dpi;
    win32::UniqueHfont font = win32::CreateMessageFont(dpi);
    auto picture = std::make_unique<win32::ProgramIcon>(win32::IconSize(dpi));
    SendDlgItemMessageW(a.hwnd, IDC_ABOUT_ICON, STM_SETICON,
                        reinterpret_cast<WPARAM>(picture->get()), 0);
    win32::PlaceControls(a.hwnd, kControls, font.get(), dpi);
    a.font = std::move(font);
    a.picture = std::move(picture);
}

void OnInitDialog(AboutWindow& a) {
    const int dpi = win32::BuildControls(a.hwnd, kControls, a.font);
    Layout(a, dpi);  // and the picture

    const SIZE size =
        win32::WindowSizeForClient(a.hwnd, kClientWidthTwips, kClientHeightTwips, dpi);
    // Where the client area's corner lands: the frame's offset from the client.
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(a.hwnd, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(a.hwnd, GWL_EXSTYLE)));
    SetWindowPos(a.hwnd, nullptr, win32::TwipsToPixels(kClientLeftTwips, dpi) + frame.left,
                 win32::TwipsToPixels(kClientTopTwips, dpi) + frame.top, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(a.hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(a.smallIcon.get()));
    SendMessageW(a.hwnd, DM_SETDEFID, IDC_ABOUT_OK, 0);

    SetWindowTextW(a.hwnd, win32::Widen(frmAbout::Caption()).c_str());
    SetDlgItemTextW(a.hwnd, IDC_ABOUT_VERSION, win32::Widen(frmAbout::VersionText()).c_str());
    SetDlgItemTextW(a.hwnd, IDC_ABOUT_TITLE, win32::Widen(frmAbout::TitleText()).c_str());
}

void PaintSeparator(const AboutWindow& a) {
    PAINTSTRUCT ps;
    const HDC dc = BeginPaint(a.hwnd, &ps);
    for (const SeparatorLine& line : kSeparator) {
        const int top = win32::TwipsToPixels(line.top, a.dpi);
        const int width = MulDiv(line.widthPixels, a.dpi, 96);
        const RECT r{win32::TwipsToPixels(line.left, a.dpi), top,
                     win32::TwipsToPixels(line.right, a.dpi), top + (width > 0 ? width : 1)};
        SetBkColor(dc, line.colour);
        ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0,
                    nullptr);  // a solid rectangle, no brush needed
    }
    EndPaint(a.hwnd, &ps);
}

// Enter reaches here as the default button, Esc as IDCANCEL.
INT_PTR OnCommand(AboutWindow& a, int id) {
    switch (id) {
        case IDC_ABOUT_OK:
        case IDCANCEL:
            DestroyWindow(a.hwnd);
            return TRUE;
        case IDC_ABOUT_SYSINFO:
            frmAbout::StartSysInfo();
            return TRUE;
        default:
            return FALSE;
    }
}

// The labels lie on the button face; the version's text follows the system's.
INT_PTR LabelColours(HDC dc, HWND label) {
    const int id = GetDlgCtrlID(label);
    SetTextColor(dc, id == IDC_ABOUT_VERSION ? GetSysColor(COLOR_BTNTEXT) : RGB(0, 0, 0));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
}

Handler AboutWindow::Where(UINT message, WPARAM wParam) const {
    if (message == WM_INITDIALOG)
        return Handler::frmAbout_Form_Load;
    if (message == WM_COMMAND && LOWORD(wParam) == IDC_ABOUT_SYSINFO)
        return Handler::frmAbout_cmdSysInfo_Click;
    return Handler::frmAbout;
}

INT_PTR AboutWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog(*this);
            SetFocus(GetDlgItem(hwnd, IDC_ABOUT_OK));
            return FALSE;
        case WM_COMMAND:
            return OnCommand(*this, LOWORD(wParam));
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return TRUE;
        case WM_PAINT:
            PaintSeparator(*this);
            return TRUE;
        case WM_CTLCOLORSTATIC:
            return LabelColours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_DPICHANGED:
            win32::FollowDpiChange(hwnd, wParam, lParam,
                                   [this](int newDpi) { Layout(*this, newDpi); });
            InvalidateRect(hwnd, nullptr, TRUE);
            return TRUE;
        case WM_NCDESTROY:
            if (gAbout.get() == this) {
                // The owner goes once this window has gone entirely, not from
                // inside its destruction.
                PostMessageW(owner.release(), WM_CLOSE, 0, 0);
                gAbout.reset();  // this state ends here
            }
            // Wakes the main loop, which ends the program once no window is left.
            PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

void ShowAboutBox() {
    if (gAbout && gAbout->hwnd != nullptr) {
        ShowWindow(gAbout->hwnd, SW_SHOWNORMAL);
        SetForegroundWindow(gAbout->hwnd);
        return;
    }
    auto about = std::make_unique<AboutWindow>();
    about->owner.reset(
        win32::CheckLastError(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                              nullptr, GetModuleHandleW(nullptr), nullptr),
                              "CreateWindowEx"));
    constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_CLIPCHILDREN;
    constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    AboutWindow* const a = about.get();
    gAbout = std::move(about);
    // A box that could not be made leaves nothing behind to be found as open.
    ScopeExit forget([] { gAbout.reset(); });
    const HWND box = win32::CheckLastError(
        win32::CreateEmptyDialog(a->owner.get(), kStyle, kExStyle, win32::DialogProc<AboutWindow>,
                                 reinterpret_cast<LPARAM>(a)),
        "CreateDialogIndirectParam");
    forget.release();
    ShowWindow(box, SW_SHOWNORMAL);
    SetForegroundWindow(box);
}

bool IsAboutBoxLoaded() {
    return gAbout != nullptr && gAbout->hwnd != nullptr;
}

}  // namespace vantrel
