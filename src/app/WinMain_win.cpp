// The program's entry point: the desktop services, the start-up procedure and
// the message loop, which runs while any window of the program is loaded.

#include <windows.h>
#include <commctrl.h>

#include <exception>
#include <string>

#include "app/ProgramLoop_win.h"
#include "app/frmmain_win.h"
#include "app/modMain.h"
#include "platform/Desktop.h"
#include "platform/ErrorBox.h"
#include "platform/Log.h"
#include "platform/win32/Unicode.h"
#include "platform/win32/Win32Desktop.h"
#include "resources/resource.h"

namespace {

// "x64" or "x86": which build a support person is looking at.
constexpr const char* kArchitecture = sizeof(void*) == 8 ? "x64" : "x86";

void ShowFatal(const std::string& description) {
    // Without the desktop services, whose boxes are not there to use.
    MessageBoxW(
        nullptr,
        vantrel::win32::Widen(vantrel::ErrorText(vantrel::Handler::Main, description)).c_str(),
        L"Vantrel", MB_OK | MB_SYSTEMMODAL | MB_SETFOREGROUND);
}

// Libraries come from the system folder only, never from the current folder or
// the program's (a planted DLL beside a download). Looked up, not imported: a
// Windows 7 without its 2011 loader update (KB2533623) lacks the function and
// would refuse to start the program; there, at least the current folder goes.
void NarrowDllSearch() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const FARPROC found = kernel ? GetProcAddress(kernel, "SetDefaultDllDirectories") : nullptr;
    // Through void(*)(), the one cast the compiler accepts between function types.
    const auto setDefault =
        reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void (*)()>(found));
    if (!setDefault || !setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32))
        SetDllDirectoryW(L"");
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    NarrowDllSearch();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    try {
        vantrel::win32::Win32Desktop services;
        const vantrel::DesktopScope scope(services.desktop());
        vantrel::LogEvent(std::string("start: Vantrel ") + VANTREL_VERSION_TEXT + " " +
                          kArchitecture);
        vantrel::Main(&vantrel::win32::LoadMainWindow);
        vantrel::win32::RunProgramMessageLoop();
        // The program's objects end while the services they release through are still there.
        vantrel::win32::EndMainWindow();
        vantrel::LogEvent("exit");
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
