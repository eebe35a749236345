// The program's entry point: the desktop services, the start-up procedure and
// the message loop, which runs while any window of the program is loaded.

#include <windows.h>
#include <commctrl.h>

#include <exception>
#include <string>

#include "about/AboutBox.h"
#include "app/frmmain_win.h"
#include "app/modMain.h"
#include "platform/Desktop.h"
#include "platform/win32/Unicode.h"
#include "platform/win32/Win32Desktop.h"

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

// The main window may be gone while the about box is still open (Exit chosen
// meanwhile); the program ends once neither is loaded. The about box posts a
// thread message as it goes, so the loop wakes to notice.
void RunMessageLoop() {
    MSG msg{};
    while (vantrel::win32::IsMainWindowLoaded() || vantrel::IsAboutBoxLoaded()) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) break;  // WM_QUIT, or a queue that is no more
        if (IsDialogKeystroke(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void ShowFatal(const std::string& description) {
    MessageBoxW(nullptr, vantrel::win32::Widen("error in Main: " + description).c_str(), L"Vantrel",
                MB_OK | MB_SYSTEMMODAL | MB_SETFOREGROUND);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Libraries come from the system folder only, never from the current
    // folder or the program's (a planted DLL beside a download).
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    try {
        vantrel::win32::Win32Desktop services;
        const vantrel::DesktopScope scope(services.desktop());
        vantrel::Main(&vantrel::win32::LoadMainWindow);
        RunMessageLoop();
        // The program's objects end while the services they release through are still there.
        vantrel::win32::EndMainWindow();
    } catch (const std::exception& e) {
        ShowFatal(e.what());
    } catch (...) {
        ShowFatal("unknown failure");
    }
    return 0;
}

#ifdef __MINGW32__
// MinGW's start-up code calls WinMain unless linked with -municode; the
// command line is not used, so nothing is lost in the narrow form.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int show) {
    return wWinMain(instance, previous, GetCommandLineW(), show);
}
#endif
