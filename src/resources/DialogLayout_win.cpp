#include "resources/DialogLayout_win.h"

#include <string>

#include "platform/win32/ScreenDc.h"
#include "platform/win32/Unicode.h"
#include "resources/resource.h"

namespace vantrel::win32 {

namespace {

// Calls a function that only newer systems have, by name, from user32.
template <typename F>
F User32Function(const char* name) {
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (user32 == nullptr)
        return nullptr;
    const FARPROC proc = GetProcAddress(user32, name);
    // Through void(*)(), which the compiler accepts as a generic function pointer.
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(proc));
}

int ScreenDpi() {
    const ScreenDc screen;
    if (!screen)
        return 96;
    const int dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
    return dpi > 0 ? dpi : 96;
}

struct ControlClass {
    const wchar_t* name;
    DWORD style;
    DWORD exStyle;
};

ControlClass ClassOf(ControlKind kind) {
    switch (kind) {
        case ControlKind::Label:
            return {L"STATIC", SS_LEFT, 0};
        case ControlKind::TextBox:
            return {L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
        case ControlKind::ReadOnlyTextBox:
            return {L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL | ES_READONLY, WS_EX_CLIENTEDGE};
        case ControlKind::CheckBox:
            return {L"BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX, 0};
        case ControlKind::Button:
            return {L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, 0};
        case ControlKind::DefaultButton:
            return {L"BUTTON", WS_TABSTOP | BS_DEFPUSHBUTTON, 0};
        case ControlKind::Icon:
            return {L"STATIC", SS_ICON | SS_REALSIZECONTROL, 0};
    }
    return {L"STATIC", 0, 0};
}

}  // namespace

int TwipsToPixels(int twips, int dpi) {
    return MulDiv(twips, dpi, kTwipsPerInch);
}

int WindowDpi(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
    if (getDpiForWindow != nullptr && window != nullptr) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi != 0)
            return static_cast<int>(dpi);
    }
    return ScreenDpi();
}

int IconSize(int dpi) {
    return MulDiv(32, dpi, 96);
}

UniqueHfont CreateMessageFont(int dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    using ForDpiFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
    static const auto forDpi = User32Function<ForDpiFn>("SystemParametersInfoForDpi");
    if (forDpi != nullptr &&
        forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dpi))) {
        return UniqueHfont(CreateFontIndirectW(&metrics.lfMessageFont));
    }
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        return UniqueHfont(CreateFontW(-MulDiv(9, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                       DEFAULT_CHARSET, 0, 0, 0, 0, L"Segoe UI"));
    }
    // The metrics are for the screen's DPI; scale them to this window's.
    metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, dpi, ScreenDpi());
    return UniqueHfont(CreateFontIndirectW(&metrics.lfMessageFont));
}

void CreateControls(HWND dialog, std::span<const ControlLayout> controls, HFONT font, int dpi) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    for (const ControlLayout& c : controls) {
        const ControlClass cls = ClassOf(c.kind);
        CreateWindowExW(cls.exStyle, cls.name, c.text, WS_CHILD | WS_VISIBLE | cls.style, 0, 0, 0,
                        0, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance,
                        nullptr);
    }
    PlaceControls(dialog, controls, font, dpi);
}

void PlaceControls(HWND dialog, std::span<const ControlLayout> controls, HFONT font, int dpi) {
    for (const ControlLayout& c : controls) {
        const HWND control = GetDlgItem(dialog, c.id);
        if (control == nullptr)
            continue;
        const bool icon = c.kind == ControlKind::Icon;
        const int width = icon ? IconSize(dpi) : TwipsToPixels(c.width, dpi);
        const int height = icon ? IconSize(dpi) : TwipsToPixels(c.height, dpi);
        SetWindowPos(control, nullptr, TwipsToPixels(c.left, dpi), TwipsToPixels(c.top, dpi), width,
                     height, SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
}

SIZE WindowSizeForClient(HWND window, int widthTwips, int heightTwips, int dpi) {
    RECT r{0, 0, TwipsToPixels(widthTwips, dpi), TwipsToPixels(heightTwips, dpi)};
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
    using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = User32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi");
    if (adjustForDpi == nullptr || !adjustForDpi(&r, style, FALSE, exStyle, static_cast<UINT>(dpi)))
        AdjustWindowRectEx(&r, style, FALSE, exStyle);
    return {r.right - r.left, r.bottom - r.top};
}

ProgramIcon::ProgramIcon(int size) {
    owned_.reset(
        static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_VANTREL),
                                      IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
    icon_ = owned_ ? owned_.get() : LoadIconW(nullptr, IDI_APPLICATION);  // shared: never destroyed
}

HWND CreateEmptyDialog(HWND owner, DWORD style, DWORD exStyle, DLGPROC proc, LPARAM param) {
    // DLGTEMPLATE, then empty menu, class and title; DWORD-aligned.
    struct alignas(4) Template {
        DLGTEMPLATE header;
        WORD menu;
        WORD windowClass;
        WORD title;
    };
    Template t{};
    t.header.style = style;
    t.header.dwExtendedStyle = exStyle;
    t.header.cdit = 0;
    t.header.x = kDefaultPosition;
    t.header.y = kDefaultPosition;
    return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), &t.header, owner, proc, param);
}

void DisableAutomaticDpiScaling(HWND dialog) {
    using SetBehaviorFn = BOOL(WINAPI*)(HWND, int, int);
    static const auto setBehavior = User32Function<SetBehaviorFn>("SetDialogDpiChangeBehavior");
    constexpr int kDisableAll = 1;  // DDC_DISABLE_ALL
    if (setBehavior != nullptr)
        setBehavior(dialog, kDisableAll, kDisableAll);
}

int BuildControls(HWND dialog, std::span<const ControlLayout> controls, UniqueHfont& font) {
    DisableAutomaticDpiScaling(dialog);
    const int dpi = WindowDpi(dialog);
    font = CreateMessageFont(dpi);
    CreateControls(dialog, controls, font.get(), dpi);
    return dpi;
}

}  // namespace vantrel::win32
