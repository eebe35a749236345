// reference.exe: the least work a program can do to honour Vantrel's hotkey contract, as a
// yardstick for the benchmark. No tray icon, no dialogs, no settings dialog, no messages.
//
//   reference.exe          reads the settings once, registers the hotkey on a hidden window and
//                          on each press: empties the clipboard, activates the source window
//                          and waits until it is ready for keys, waits for Ctrl, Shift and
//                          Alt to be released, copies (Ctrl+C, else
//                          Home, Shift+End, Ctrl+C), writes the index script, starts the runner
//                          minimized and brings "Document Center" to the front.
//   reference.exe --quit   posts WM_CLOSE to the running instance (its hidden window has the
//                          class "VantrelReference") and exits; WM_CLOSE sent by anyone else
//                          stops it the same way.
//
// Exit codes: 0 stopped by WM_CLOSE (or --quit done), 1 another instance already runs,
// 2 the hotkey could not be registered, 3 the window could not be created.
// A press that finds no source window or copies nothing is dropped without a word.

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/UniqueHandle.h"

namespace {

constexpr wchar_t kClassName[] = L"VantrelReference";
constexpr wchar_t kSettingsKey[] = L"Software\\VB and VBA Program Settings\\Vantrel\\Settings";
constexpr wchar_t kScriptPath[] = L"c:\\program files\\Tallowin\\scripts\\brisklet.sc";
constexpr wchar_t kRunnerPath[] = L"C:\\program files\\tallowin\\scripts\\brisklet.exe";
constexpr wchar_t kRunnerCommandLine[] =
    L"C:\\program files\\tallowin\\scripts\\brisklet.exe C:\\program "
    L"files\\tallowin\\scripts\\brisklet.sc";
constexpr int kHotKeyId = 1;
constexpr ULONGLONG kCopyTimeoutMs = 500;
constexpr DWORD kWaitSliceMs = 5;
constexpr ULONGLONG kActivationTimeoutMs = 2000;

struct Settings {
    std::wstring sourceWindow;
    std::wstring field;
    UINT key = VK_F11;
    UINT modifiers = 0;
    bool saveNext = false;
};

Settings gSettings;
bool gBusy = false;            // a press during a cycle is dropped
bool gCloseRequested = false;  // a WM_CLOSE during a cycle waits for its end

std::wstring ReadSetting(const wchar_t* name, const wchar_t* byDefault) {
    DWORD bytes = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_SZ, nullptr, nullptr,
                     &bytes) != ERROR_SUCCESS)
        return byDefault;
    std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_SZ, nullptr, value.data(),
                     &bytes) != ERROR_SUCCESS)
        return byDefault;
    value.resize(wcsnlen(value.c_str(), value.size()));
    return value;
}

Settings ReadSettings() {
    Settings s;
    s.sourceWindow = ReadSetting(L"SourceWindow", L"");
    s.field = ReadSetting(L"Field", L"");
    s.key = static_cast<UINT>(_wtoi(ReadSetting(L"Hotkey", L"122").c_str()));
    // Stored as key events report modifiers (1 Shift, 2 Ctrl, 4 Alt).
    const int shift = _wtoi(ReadSetting(L"HotKeyShift", L"0").c_str());
    if (shift & 1)
        s.modifiers |= MOD_SHIFT;
    if (shift & 2)
        s.modifiers |= MOD_CONTROL;
    if (shift & 4)
        s.modifiers |= MOD_ALT;
    const std::wstring saveNext = ReadSetting(L"SaveNext", L"False");
    s.saveNext = lstrcmpiW(saveNext.c_str(), L"True") == 0 || _wtoi(saveNext.c_str()) != 0;
    return s;
}

// Lets window messages through while waiting, without spinning.
void WaitBriefly(DWORD ms) {
    MsgWaitForMultipleObjectsEx(0, nullptr, ms, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool EmptyTheClipboard(HWND owner) {
    // The previous copier may still hold the clipboard for a moment.
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (OpenClipboard(owner)) {
            const bool emptied = EmptyClipboard() != FALSE;
            CloseClipboard();
            return emptied;
        }
        WaitBriefly(kWaitSliceMs);
    }
    return false;
}

struct PrefixSearch {
    std::wstring_view prefix;
    HWND found = nullptr;
};

BOOL CALLBACK MatchTitlePrefix(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<PrefixSearch*>(param);
    if (!IsWindowVisible(hwnd))
        return TRUE;
    wchar_t title[512];
    const int n = GetWindowTextW(hwnd, title, 512);
    const auto length = static_cast<int>(search->prefix.size());
    if (n >= length &&
        CompareStringOrdinal(title, length, search->prefix.data(), length, TRUE) == CSTR_EQUAL) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// Keys go to whichever window is in front when they are read: a window brought to the
// front is ready once its program has taken the activation (one of its windows has the
// focus) and has answered a message since, under Wine after the X events of the raise,
// which would otherwise drop the Ctrl of Ctrl+C.
bool AwaitReady(HWND window) {
    const ULONGLONG deadline = GetTickCount64() + kActivationTimeoutMs;
    for (;;) {
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        if (GetForegroundWindow() == window &&
            (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ||
             info.hwndFocus) &&
            (SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 50, nullptr) ||
             IsHungAppWindow(window)))
            return true;
        if (GetTickCount64() >= deadline)
            return false;
        WaitBriefly(kWaitSliceMs);
    }
}

// Exact title first, then the first visible window whose title begins with it.
bool ActivateSourceWindow(const std::wstring& title) {
    HWND window = FindWindowW(nullptr, title.c_str());
    if (!window) {
        PrefixSearch search{title};
        EnumWindows(MatchTitlePrefix, reinterpret_cast<LPARAM>(&search));
        window = search.found;
    }
    if (!window)
        return false;
    if (IsIconic(window))
        ShowWindow(window, SW_RESTORE);
    if (GetForegroundWindow() == window)
        return true;
    SetForegroundWindow(window);
    return AwaitReady(window);
}

void WaitForModifiersReleased() {
    while ((GetAsyncKeyState(VK_CONTROL) | GetAsyncKeyState(VK_SHIFT) | GetAsyncKeyState(VK_MENU)) &
           0x8000)
        WaitBriefly(kWaitSliceMs);
}

INPUT Key(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags =
        (up ? KEYEVENTF_KEYUP : 0) | (vk == VK_HOME || vk == VK_END ? KEYEVENTF_EXTENDEDKEY : 0);
    return in;
}

// Sends the keys and waits until the clipboard changed and holds text, or the time is up.
bool CopyWith(std::vector<INPUT> keys) {
    const DWORD before = GetClipboardSequenceNumber();
    SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
    const ULONGLONG deadline = GetTickCount64() + kCopyTimeoutMs;
    for (;;) {
        if (GetClipboardSequenceNumber() != before && IsClipboardFormatAvailable(CF_UNICODETEXT))
            return true;
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            return false;
        WaitBriefly(static_cast<DWORD>(std::min<ULONGLONG>(kWaitSliceMs, deadline - now)));
    }
}

bool CopyAtCursor() {
    if (CopyWith({Key(VK_CONTROL, false), Key('C', false), Key('C', true), Key(VK_CONTROL, true)}))
        return true;
    return CopyWith({Key(VK_HOME, false), Key(VK_HOME, true), Key(VK_SHIFT, false),
                     Key(VK_END, false), Key(VK_END, true), Key(VK_SHIFT, true),
                     Key(VK_CONTROL, false), Key('C', false), Key('C', true),
                     Key(VK_CONTROL, true)});
}

std::string ToAnsi(const std::wstring& text) {
    if (text.empty())
        return {};
    const auto length = static_cast<int>(text.size());
    const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), length, ansi.data(), n, nullptr, nullptr);
    return ansi;
}

bool WriteIndexScript() {
    std::string script = "Sub main()\r\nIndex.Field(\"" + ToAnsi(gSettings.field) +
                         "\") = Clipboard\r\ndoevents\r\n";
    if (gSettings.saveNext)
        script += "Index.Save\r\nIndex.nextdocument\r\n";
    script += "Index.setfocuson 1\r\nEnd Sub\r\n\r\n\r\n";

    const HANDLE h = CreateFileW(kScriptPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    const vantrel::win32::UniqueHandleObj file(h);
    DWORD written = 0;
    return WriteFile(file.get(), script.data(), static_cast<DWORD>(script.size()), &written,
                     nullptr) &&
           written == script.size();
}

bool StartRunner() {
    std::wstring commandLine = kRunnerCommandLine;  // CreateProcessW may write into it
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINIMIZED;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(kRunnerPath, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info))
        return false;
    const vantrel::win32::UniqueHandleObj process(info.hProcess);
    const vantrel::win32::UniqueHandleObj thread(info.hThread);
    return true;
}

void OnHotKey(HWND hwnd) {
    if (!EmptyTheClipboard(hwnd))
        return;
    if (!gSettings.sourceWindow.empty() && !ActivateSourceWindow(gSettings.sourceWindow))
        return;
    WaitForModifiersReleased();
    if (!CopyAtCursor())
        return;
    if (!WriteIndexScript())
        return;
    if (!StartRunner())
        return;
    if (const HWND center = FindWindowW(nullptr, L"Document Center"))
        SetForegroundWindow(center);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_HOTKEY:
            if (wParam == kHotKeyId && !gBusy) {
                gBusy = true;
                OnHotKey(hwnd);
                gBusy = false;
                if (gCloseRequested)
                    DestroyWindow(hwnd);
            }
            return 0;
        case WM_CLOSE:
            if (gBusy) {
                gCloseRequested = true;
            } else {
                DestroyWindow(hwnd);
            }
            return 0;
        case WM_DESTROY:
            UnregisterHotKey(hwnd, kHotKeyId);
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    const HWND running = FindWindowW(kClassName, nullptr);
    int argc = 0;
    const LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const bool quit = argv && argc >= 2 && lstrcmpiW(argv[1], L"--quit") == 0;
    LocalFree(const_cast<LPWSTR*>(argv));
    if (quit) {
        if (running)
            PostMessageW(running, WM_CLOSE, 0, 0);
        return 0;
    }
    if (running)
        return 1;

    gSettings = ReadSettings();

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kClassName;
    if (!RegisterClassExW(&wc))
        return 3;
    // A hidden top-level window (not message-only) so that --quit can find it by class.
    const HWND hwnd = CreateWindowExW(0, kClassName, L"Vantrel reference", WS_POPUP, 0, 0, 0, 0,
                                      nullptr, nullptr, instance, nullptr);
    if (!hwnd)
        return 3;
    if (!RegisterHotKey(hwnd, kHotKeyId, gSettings.modifiers, gSettings.key)) {
        DestroyWindow(hwnd);
        return 2;
    }

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
