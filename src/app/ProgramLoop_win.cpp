#include "app/ProgramLoop_win.h"

#include <windows.h>

#include <string>

#include "about/AboutBox.h"
#include "app/frmmain_win.h"

namespace vantrel::win32 {

namespace {

// Keyboard navigation (Tab, Enter, Esc) for a modeless dialog, such as the
// about box, that has the focus; ordinary windows get their keys unchanged.
bool IsDialogKeystroke(MSG& msg) {
    const HWND active = GetActiveWindow();
    if (active == nullptr) return false;
    wchar_t className[16] = {};
    GetClassNameW(active, className, static_cast<int>(std::size(className)));
    if (std::wstring(className) != L"#32770") return false;
    return IsDialogMessageW(active, &msg) != FALSE;
}

}  // namespace

// The main window may be gone while the about box is still open (Exit chosen
// meanwhile); the program ends once neither is loaded. Both post a thread
// message as they go, so the loop wakes to notice even when they went while
// a sent message was being handled inside GetMessage.
void RunProgramMessageLoop() {
    MSG msg{};
    while (IsMainWindowLoaded() || IsAboutBoxLoaded()) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) break;  // WM_QUIT, or a queue that is no more
        if (IsDialogKeystroke(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace vantrel::win32
