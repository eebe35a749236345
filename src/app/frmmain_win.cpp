#include "app/frmmain_win.h"

#include <windows.h>
#include <windowsx.h>

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "about/AboutBox.h"
#include "platform/Error.h"
#include "platform/Log.h"
#include "platform/win32/ScreenDc.h"
#include "platform/win32/Unicode.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Error.h"
#include "resources/DialogLayout_win.h"
#include "resources/resource.h"
#include "settings/SettingsDialog.h"

namespace vantrel::win32 {

namespace {

constexpr wchar_t kClassName[] = L"VantrelMainWindow";
constexpr wchar_t kCaption[] = L"Vantrel";

// Client area and controls in twips, as the window was designed.
constexpr int kClientWidth = 1908;
constexpr int kClientHeight = 1632;

struct ButtonLayout {
    MainCommand command;
    const wchar_t* caption;
    int left, top, width, height;
};

// In tab order.
// clang-format off
constexpr std::array kButtons{
    ButtonLayout{MainCommand::cmdConfigure, L"Settings", 120,  120, 855, 375},
    ButtonLayout{MainCommand::cmdExit,      L"Exit",     120, 1080, 855, 375},
    ButtonLayout{MainCommand::cmdMinimize,  L"Minimize", 120,  600, 855, 375},
};
// clang-format on

struct MenuItem {
    std::optional<MainCommand> command;  // nothing: a separator
    const wchar_t* caption;
};

// The items of the menu "Options", in order.
// clang-format off
constexpr std::array kOptionsItems{
    MenuItem{MainCommand::Settings, L"Settings"},
    MenuItem{std::nullopt,          L"-"},
    MenuItem{MainCommand::mnuExit,  L"Exit"},
    MenuItem{MainCommand::mnuAbout, L"About"},
};
// clang-format on

std::optional<MainCommand> CommandOf(UINT_PTR id) {
    for (const ButtonLayout& b : kButtons) {
        if (static_cast<UINT_PTR>(b.command) == id)
            return b.command;
    }
    for (const MenuItem& m : kOptionsItems) {
        if (m.command && static_cast<UINT_PTR>(*m.command) == id)
            return m.command;
    }
    return std::nullopt;
}

// Twips to pixels at the screen's resolution (which is the system's, as the
// program declares itself aware of it).
struct Scale {
    int dpiX = 96;
    int dpiY = 96;
    int X(int twips) const { return win32::TwipsToPixels(twips, dpiX); }
    int Y(int twips) const { return win32::TwipsToPixels(twips, dpiY); }
};

Scale ScreenScale() {
    Scale s;
    if (const ScreenDc screen; screen) {
        s.dpiX = GetDeviceCaps(screen.get(), LOGPIXELSX);
        s.dpiY = GetDeviceCaps(screen.get(), LOGPIXELSY);
    }
    return s;
}

HICON SharedProgramIcon(int size) {
    // Shared icons belong to the system's cache and are never destroyed.
    const auto icon =
        static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_VANTREL),
                                      IMAGE_ICON, size, size, LR_SHARED));
    if (icon != nullptr)
        return icon;
    return static_cast<HICON>(
        LoadImageW(nullptr, IDI_APPLICATION, IMAGE_ICON, size, size, LR_SHARED));
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

void RegisterMainWindowClass() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &MainWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hIcon = SharedProgramIcon(GetSystemMetrics(SM_CXICON));
    wc.hIconSm = SharedProgramIcon(GetSystemMetrics(SM_CXSMICON));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    ThrowLastErrorIf(RegisterClassExW(&wc) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS,
                     "RegisterClassExW");
}

UniqueHmenu CreateOptionsMenu(HMENU& options) {
    UniqueHmenu bar(CheckLastError(CreateMenu(), "CreateMenu"));
    UniqueHmenu popup(CheckLastError(CreatePopupMenu(), "CreatePopupMenu"));
    CheckLastError(AppendMenuW(bar.get(), MF_POPUP | MF_STRING,
                               reinterpret_cast<UINT_PTR>(popup.get()), L"Options"),
                   "AppendMenuW");
    // From here the bar owns the popup and destroys it with itself.
    options = popup.release();
    for (const MenuItem& item : kOptionsItems) {
        const BOOL added = item.command
                               ? AppendMenuW(options, MF_STRING,
                                             static_cast<UINT_PTR>(*item.command), item.caption)
                               : AppendMenuW(options, MF_SEPARATOR, 0, nullptr);
        CheckLastError(added, "AppendMenuW");
    }
    return bar;
}

// The hidden main window and the window-system half of its logic.
class MainWindow : public MainWindowHost {
  public:
    MainWindow() {
        RegisterMainWindowClass();
        menuBar_ = CreateOptionsMenu(options_);
        taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
        icon_ = SharedProgramIcon(GetSystemMetrics(SM_CXSMICON));

        const Scale scale = ScreenScale();
        // Fixed single border, no minimize or maximize box; a tool window
        // stays out of the task bar and the task list.
        constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
        constexpr DWORD kExStyle = WS_EX_TOOLWINDOW;
        RECT frame{0, 0, scale.X(kClientWidth), scale.Y(kClientHeight)};
        AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
        const int width = frame.right - frame.left;
        const int height = frame.bottom - frame.top;
        const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
        const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;

        SetLastError(0);
        const HWND created = CheckLastError(
            CreateWindowExW(kExStyle, kClassName, kCaption, kStyle, left, top, width, height,
                            nullptr, nullptr, GetModuleHandleW(nullptr), this),
            "CreateWindowExW");
        window_.reset(created);
        SendMessageW(created, WM_SETICON, ICON_BIG,
                     reinterpret_cast<LPARAM>(SharedProgramIcon(GetSystemMetrics(SM_CXICON))));
        SendMessageW(created, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
        CreateButtons(scale);
        // An elevated copy would otherwise never hear that the task bar came back.
        if (taskbarCreated_ != 0)
            ChangeWindowMessageFilterEx(created, taskbarCreated_, MSGFLT_ALLOW, nullptr);

        form_ = std::make_unique<frmmain>(*this);
    }

    ~MainWindow() override {
        // The logic goes first: it still names the window while it ends.
        form_.reset();
    }

    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    frmmain& form() { return *form_; }
    HWND hwnd() const { return window_.get(); }

    // --- TrayWindow
    WindowHandle Handle() override { return reinterpret_cast<WindowHandle>(window_.get()); }
    std::uintptr_t Icon() override { return reinterpret_cast<std::uintptr_t>(icon_); }
    std::string Caption() override {
        std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window_.get())) + 1, L'\0');
        text.resize(static_cast<std::size_t>(
            GetWindowTextW(window_.get(), text.data(), static_cast<int>(text.size()))));
        return Narrow(text);
    }
    void Hide() override { ShowWindow(window_.get(), SW_HIDE); }
    void LeaveTaskList() override {
        const LONG_PTR ex = GetWindowLongPtrW(window_.get(), GWL_EXSTYLE);
        if ((ex & WS_EX_TOOLWINDOW) == 0)
            SetWindowLongPtrW(window_.get(), GWL_EXSTYLE, ex | WS_EX_TOOLWINDOW);
    }

    // --- MainWindowHost
    void SetForeground() override { SetForegroundWindow(window_.get()); }

    // The chosen item comes back from the menu call itself rather than as a
    // posted WM_COMMAND, so the command runs before the tray callback ends.
    // The posted WM_NULL makes the menu close properly when the user clicks
    // elsewhere (the documented workaround for notification-area menus).
    std::optional<MainCommand> PopupOptionsMenu() override {
        POINT at{};
        GetCursorPos(&at);
        const UINT chosen = static_cast<UINT>(
            TrackPopupMenu(options_, TPM_LEFTALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD, at.x, at.y, 0,
                           window_.get(), nullptr));
        PostMessageW(window_.get(), WM_NULL, 0, 0);
        if (chosen == 0)
            return std::nullopt;
        return CommandOf(chosen);
    }

    std::optional<SettingsValues> ShowSettingsDialog(const SettingsValues& values) override {
        return vantrel::ShowSettingsDialog(Handle(), values);
    }
    void ShowAbout() override { ShowAboutBox(); }

    // The window is never shown; minimizing it must not make it appear.
    void Minimize() override {
        if (IsWindowVisible(window_.get()))
            ShowWindow(window_.get(), SW_MINIMIZE);
    }

    void Destroy() override { window_.reset(); }

    LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (!form_)
            return DefWindowProcW(window, message, wParam, lParam);
        frmmain& form = *form_;
        if (message == taskbarCreated_ && taskbarCreated_ != 0) {
            form.Handle(Handler::frmmain_TaskbarCreated, [&] { form.TaskbarCreated(); });
            return 0;
        }
        switch (message) {
            case WM_MOUSEMOVE: {
                // The tray's notifications arrive here with the mouse message in x.
                const std::int32_t x = GET_X_LPARAM(lParam);
                form.Handle(Handler::frmmain_Form_MouseMove, [&] { form.Form_MouseMove(x); });
                return 0;
            }
            case WM_COMMAND: {
                const std::optional<MainCommand> command = CommandOf(LOWORD(wParam));
                const bool click = lParam == 0 || HIWORD(wParam) == BN_CLICKED;
                if (!command || !click)
                    break;
                form.Handle(HandlerOf(*command), [&] { form.Command(*command); });
                return 0;
            }
            case WM_CLOSE:
                form.Handle(Handler::frmmain_Form_Unload, [&] { form.Unload(); });
                return 0;
            case WM_SETTINGCHANGE:
                // Group Policy announces each time it has applied with "Policy".
                if (lParam != 0 &&
                    lstrcmpiW(reinterpret_cast<const wchar_t*>(lParam), L"Policy") == 0)
                    form.Handle(Handler::frmmain_Form_SettingChange, [&] { form.PolicyApplied(); });
                break;
            case WM_ENDSESSION:
                // Windows is ending the session: unload as Exit would.
                if (wParam != FALSE)
                    form.Handle(Handler::frmmain_Form_Unload, [&] { form.Unload(); });
                return 0;
            default:
                break;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    void ForgetWindow() { static_cast<void>(window_.release()); }

  private:
    void CreateButtons(const Scale& scale) {
        const auto font = reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT));
        for (const ButtonLayout& b : kButtons) {
            const HWND button = CheckLastError(
                CreateWindowExW(0, L"BUTTON", b.caption,
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, scale.X(b.left),
                                scale.Y(b.top), scale.X(b.width), scale.Y(b.height), window_.get(),
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(b.command)),
                                GetModuleHandleW(nullptr), nullptr),
                "CreateWindowExW(BUTTON)");
            SendMessageW(button, WM_SETFONT, font, FALSE);
        }
    }

    UniqueHmenu menuBar_;
    HMENU options_ = nullptr;  // owned by the bar
    UINT taskbarCreated_ = 0;
    HICON icon_ = nullptr;  // shared
    UniqueHwnd window_;
    std::unique_ptr<frmmain> form_;
};

std::unique_ptr<MainWindow> gMainWindow;

// No failure may unwind into the system's dispatch: the logic's handlers
// catch their own, and this catches the rest.
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        if (message == WM_NCCREATE) {
            const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            // Gone by whatever road: the object must not destroy it again.
            if (self != nullptr && self->hwnd() == window)
                self->ForgetWindow();
            self = nullptr;
            // Wakes the program's message loop to see whether anything is
            // still loaded: the window may go while a sent message (the
            // tray's) is handled inside GetMessage, which then would not return.
            PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
        }
        if (self == nullptr)
            return DefWindowProcW(window, message, wParam, lParam);
        return self->OnMessage(window, message, wParam, lParam);
    } catch (...) {
        // Nothing may unwind through the system's dispatch.
        LogCaught("main window message failed");
        return 0;
    }
}

}  // namespace

frmmain& LoadMainWindow() {
    if (gMainWindow)
        throw Error("the main window is already loaded");
    gMainWindow = std::make_unique<MainWindow>();
    return gMainWindow->form();
}

bool IsMainWindowLoaded() {
    return gMainWindow && gMainWindow->hwnd() != nullptr && gMainWindow->form().Loaded();
}

WindowHandle MainWindowHandle() {
    return gMainWindow ? gMainWindow->Handle() : 0;
}

void EndMainWindow() {
    if (!gMainWindow)
        return;
    frmmain& form = gMainWindow->form();
    if (form.Loaded())
        form.Handle(Handler::frmmain_Form_Unload, [&] { form.Unload(); });
    gMainWindow.reset();
}

}  // namespace vantrel::win32
