#pragma once

// The designed layouts of the program's dialogs, made real: controls placed
// in twips for the window's DPI, the system's dialog font, the program's
// icon, and empty dialog templates so the dialog manager (Tab, Enter, Esc,
// focus on activation) serves windows laid out in code.

#include <windows.h>

#include <span>

#include "platform/win32/UniqueHandle.h"

namespace vantrel::win32 {

enum class ControlKind { Label, TextBox, ReadOnlyTextBox, CheckBox, Button, DefaultButton, Icon };

// One control as designed: left, top, width and height in twips within the
// client area. An Icon is sized to its picture, so only its corner counts.
struct ControlLayout {
    int id;
    ControlKind kind;
    const wchar_t* text;
    int left, top, width, height;
};

constexpr int kTwipsPerInch = 1440;

int TwipsToPixels(int twips, int dpi);
// The window's DPI where the system knows it per window, else the screen's.
int WindowDpi(HWND window);
// The icon size for `dpi` (32 pixels at 96).
int IconSize(int dpi);

// The system's message font (what dialogs use) at `dpi`.
UniqueHfont CreateMessageFont(int dpi);

// Creates the controls in the order given, which is their tab order, then places them.
void CreateControls(HWND dialog, std::span<const ControlLayout> controls, HFONT font, int dpi);
// Moves the controls to their designed places for `dpi` and gives them `font`.
void PlaceControls(HWND dialog, std::span<const ControlLayout> controls, HFONT font, int dpi);

// The outer size of `window` (its styles and DPI) around a client area of
// the given twips.
SIZE WindowSizeForClient(HWND window, int widthTwips, int heightTwips, int dpi);

// The program's icon at `size` pixels, or the stock application icon where the
// module carries none (the test binary).
class ProgramIcon {
  public:
    explicit ProgramIcon(int size);
    HICON get() const { return icon_; }

  private:
    UniqueHicon owned_;
    HICON icon_ = nullptr;
};

// Creates a modeless dialog from an empty template. `x` of CW_USEDEFAULT16
// lets the window manager place it. Returns null on failure (GetLastError).
HWND CreateEmptyDialog(HWND owner, DWORD style, DWORD exStyle, DLGPROC proc, LPARAM param);
constexpr short kDefaultPosition = static_cast<short>(0x8000);  // CW_USEDEFAULT16

// Stops the system from rescaling a dialog by itself on a DPI change, where
// it would, so the dialog's own WM_DPICHANGED layout is the only one.
void DisableAutomaticDpiScaling(HWND dialog);

// What every dialog laid out in code does first: the system's own DPI scaling
// off, the message font for the window's DPI in `font`, and the controls.
// Returns the DPI.
int BuildControls(HWND dialog, std::span<const ControlLayout> controls, UniqueHfont& font);

// Follows WM_DPICHANGED: `layout` for the new DPI, then the rectangle the
// system suggests.
template <typename Layout>
void FollowDpiChange(HWND dialog, WPARAM wParam, LPARAM lParam, Layout layout) {
    layout(static_cast<int>(HIWORD(wParam)));
    const auto* r = reinterpret_cast<const RECT*>(lParam);
    SetWindowPos(dialog, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace vantrel::win32
