// probe.exe: looks at and pokes the Windows side for the end-to-end scripts, which
// drive the keyboard and mouse from outside with xdotool. One command per run;
// exit code 0 means "yes / done", 1 "no / timed out", 2 bad usage. Output is UTF-8.
//
//   wait-window TITLE MS          a top-level window (shown or not) has exactly TITLE
//   wait-gone TITLE MS            no top-level window has TITLE any more
//   wait-hotkey MODS VK MS STATE  STATE "held": the combination is registered by someone;
//                                 "free": it can be registered
//   clipboard                     prints the clipboard's text
//   set-clipboard TEXT
//   foreground                    prints the foreground window's title
//   activate TITLE MS             brings the window to the front, as a program handing
//                                 over to it does, and waits until it is in front
//   texts TITLE                   prints each child control as "class|text|x y w h" (screen)
//   set-text TITLE N TEXT         sets the text of the N-th child edit control (from 1)
//   click TITLE CAPTION           clicks the child button with that caption (posted)
//   check TITLE CAPTION 0|1       sets a check box
//   checked TITLE CAPTION         prints 1 when the check box is checked, else 0
//   focus TITLE N                 gives the N-th child edit control the keyboard focus
//   select TITLE N START END      selects characters START..END of the N-th child edit control
//   get-text TITLE N              prints the text of the N-th child edit control
//   box MS                        waits for a message box, prints "caption|text|modal-flags"
//                                 and presses its OK
//   close TITLE                   posts WM_CLOSE
//   rect TITLE                    prints the window's screen rectangle
//   move TITLE X Y W H            moves and sizes the window, leaving its place in the order
//   hold-clipboard MS             opens the clipboard (with a window of its own) and keeps
//                                 it open for MS milliseconds, as a busy program would
//   resources TITLE               prints "handles gdi user" of the process owning TITLE
//   setting-change TEXT           broadcasts WM_SETTINGCHANGE with TEXT, as Windows does
//                                 with "Policy" once Group Policy has applied
//   taskbar-created [TITLE]       broadcasts "TaskbarCreated", as a restarted shell does,
//                                 first removing the icon of the window TITLE as it has
//   slow-source TITLE TEXT MS     a source program whose copy arrives late: a window (no
//                                 edit control) that answers the n-th Ctrl+C by putting
//                                 "TEXT n" on the clipboard MS milliseconds later (TEXT
//                                 alone for the first), each Ctrl+C on its own even when
//                                 the next comes meanwhile; runs until closed; prints "key VK"
//                                 for each key that goes down in it
//   busy-source TITLE TEXT FROM TO MS [activate]
//                                 a source program whose thread is busy for MS milliseconds
//                                 when Ctrl+C arrives, then handles its queued keys in order:
//                                 an edit control holding TEXT, FROM..TO selected. With
//                                 "activate", busy instead each time it is brought to the
//                                 front (WM_ACTIVATEAPP), before it takes the focus
//   watch-clipboard               prints the time (microseconds since 1970) each time the
//                                 clipboard gets text, as the source's copy lands; runs
//                                 until ended
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/ToolSupport.h"

namespace {

std::string Utf8(const std::wstring& w) {
    if (w.empty())
        return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string s(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr,
                        nullptr);
    return s;
}

void Print(const std::wstring& w) {
    const std::string s = Utf8(w) + "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), s.data(), static_cast<DWORD>(s.size()), &written,
              nullptr);
}

std::wstring TextOf(HWND h) {
    wchar_t buffer[4096] = {};
    // WM_GETTEXT works across processes for controls, GetWindowText only for top-level.
    SendMessageTimeoutW(h, WM_GETTEXT, std::size(buffer), reinterpret_cast<LPARAM>(buffer),
                        SMTO_ABORTIFHUNG, 2000, nullptr);
    return buffer;
}

std::wstring ClassOf(HWND h) {
    wchar_t buffer[256] = {};
    GetClassNameW(h, buffer, static_cast<int>(std::size(buffer)));
    return buffer;
}

struct Find {
    std::wstring title;
    HWND found = nullptr;
};

BOOL CALLBACK FindTop(HWND h, LPARAM p) {
    auto* f = reinterpret_cast<Find*>(p);
    wchar_t buffer[1024] = {};
    GetWindowTextW(h, buffer, static_cast<int>(std::size(buffer)));
    if (f->title == buffer) {
        f->found = h;
        return FALSE;
    }
    return TRUE;
}

HWND TopWindow(const std::wstring& title) {
    Find f{title};
    EnumWindows(FindTop, reinterpret_cast<LPARAM>(&f));
    return f.found;
}

template <typename F>
bool WaitFor(DWORD ms, F done) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (done())
            return true;
        if (GetTickCount() - start >= ms)
            return false;
        Sleep(20);
    }
}

BOOL CALLBACK AddChild(HWND h, LPARAM p) {
    reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
    return TRUE;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> out;
    EnumChildWindows(parent, AddChild, reinterpret_cast<LPARAM>(&out));
    return out;
}

HWND NthEdit(HWND parent, int n) {
    for (HWND h : Children(parent)) {
        if (_wcsicmp(ClassOf(h).c_str(), L"Edit") == 0 && --n == 0)
            return h;
    }
    return nullptr;
}

HWND ButtonCaptioned(HWND parent, const std::wstring& caption) {
    for (HWND h : Children(parent)) {
        if (_wcsicmp(ClassOf(h).c_str(), L"Button") == 0 && TextOf(h) == caption)
            return h;
    }
    return nullptr;
}

struct BoxSearch {
    HWND found = nullptr;
};

BOOL CALLBACK FindBox(HWND h, LPARAM p) {
    // A message box is a dialog with a static text of id 0xFFFF and is visible.
    if (IsWindowVisible(h) && ClassOf(h) == L"#32770" && GetDlgItem(h, 0xFFFF) != nullptr) {
        reinterpret_cast<BoxSearch*>(p)->found = h;
        return FALSE;
    }
    return TRUE;
}

// The slow source's state: what it copies, how late, and how many copies it was asked for.
struct SlowSource {
    std::wstring text;
    UINT delay = 0;
    UINT_PTR copies = 0;
};
SlowSource gSlow;

LRESULT CALLBACK SlowSourceProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_KEYDOWN)
        Print(L"key " + std::to_wstring(wp));
    // Each Ctrl+C lands on its own, a second one asked for meanwhile included: the
    // timer's id is the copy's number.
    if (msg == WM_KEYDOWN && wp == 'C' && GetKeyState(VK_CONTROL) < 0) {
        SetTimer(h, ++gSlow.copies, gSlow.delay, nullptr);
        return 0;
    }
    if (msg == WM_TIMER && wp >= 1 && wp <= gSlow.copies) {
        KillTimer(h, wp);
        const std::wstring text = wp == 1 ? gSlow.text : gSlow.text + L" " + std::to_wstring(wp);
        if (WaitFor(2000, [&] { return OpenClipboard(h) != 0; })) {
            EmptyClipboard();
            const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
            if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
                std::memcpy(GlobalLock(memory), text.c_str(), bytes);
                GlobalUnlock(memory);
                if (!SetClipboardData(CF_UNICODETEXT, memory))
                    GlobalFree(memory);
            }
            CloseClipboard();
        }
        return 0;
    }
    if (msg == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcW(h, msg, wp, lp);
}

// The busy source: its edit control's own procedure, how long it stays busy, and
// whether Ctrl+C or being brought to the front makes it so.
WNDPROC gEditProc = nullptr;
DWORD gBusyMs = 0;
bool gBusyOnActivation = false;

LRESULT CALLBACK BusyEditProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (!gBusyOnActivation && msg == WM_KEYDOWN && wp == 'C' && GetKeyState(VK_CONTROL) < 0)
        Sleep(gBusyMs);
    return CallWindowProcW(gEditProc, h, msg, wp, lp);
}

LRESULT CALLBACK BusySourceProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    // The first message of an activation from another program: the focus is set only
    // after it, so the program is in front but not yet ready, as one still at work is.
    if (gBusyOnActivation && msg == WM_ACTIVATEAPP && wp != FALSE)
        Sleep(gBusyMs);
    if (msg == WM_SETFOCUS) {
        SetFocus(GetWindow(h, GW_CHILD));
        return 0;
    }
    if (msg == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcW(h, msg, wp, lp);
}

LRESULT CALLBACK ClipboardWatchProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CLIPBOARDUPDATE && IsClipboardFormatAvailable(CF_UNICODETEXT))
        Print(std::to_wstring(vantrel::tools::UnixMicrosNow()));
    return DefWindowProcW(h, msg, wp, lp);
}

// The stand-in programs' windows: a class of their own, and one window of it.
HWND OpenWindow(const wchar_t* className, WNDPROC proc, const std::wstring& title, int top,
                int height) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = className;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassW(&wc);
    return CreateWindowExW(0, className, title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 700, top,
                           300, height, nullptr, nullptr, wc.hInstance, nullptr);
}

// Runs the thread's messages until its window closes.
int RunMessages() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

int Usage() {
    Print(L"usage: see the head of tools/probe/probe.cpp");
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2)
        return Usage();
    const std::wstring cmd = argv[1];
    auto arg = [&](int i) { return i < argc ? std::wstring(argv[i]) : std::wstring(); };
    auto num = [&](int i) { return i < argc ? static_cast<DWORD>(_wtoi(argv[i])) : 0u; };

    if (cmd == L"wait-window")
        return WaitFor(num(3), [&] { return TopWindow(arg(2)) != nullptr; }) ? 0 : 1;
    if (cmd == L"wait-gone")
        return WaitFor(num(3), [&] { return TopWindow(arg(2)) == nullptr; }) ? 0 : 1;
    if (cmd == L"wait-hotkey") {
        const UINT mods = num(2), vk = num(3);
        const bool wantHeld = arg(5) == L"held";
        return WaitFor(num(4),
                       [&] {
                           const bool free = RegisterHotKey(nullptr, 0x7001, mods, vk) != 0;
                           if (free)
                               UnregisterHotKey(nullptr, 0x7001);
                           return free != wantHeld;
                       })
                   ? 0
                   : 1;
    }
    if (cmd == L"clipboard") {
        std::wstring text;
        WaitFor(1000, [] { return OpenClipboard(nullptr) != 0; });
        if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
            if (auto* p = static_cast<const wchar_t*>(GlobalLock(h))) {
                text = p;
                GlobalUnlock(h);
            }
        }
        CloseClipboard();
        Print(text);
        return 0;
    }
    if (cmd == L"set-clipboard") {
        const std::wstring text = arg(2);
        if (!WaitFor(1000, [] { return OpenClipboard(nullptr) != 0; }))
            return 1;
        EmptyClipboard();
        HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
        if (g != nullptr) {
            memcpy(GlobalLock(g), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
            GlobalUnlock(g);
            if (SetClipboardData(CF_UNICODETEXT, g) == nullptr)
                GlobalFree(g);  // owned on success only
        }
        CloseClipboard();
        return 0;
    }
    if (cmd == L"activate") {
        const HWND h = TopWindow(arg(2));
        if (h == nullptr)
            return 1;
        SetForegroundWindow(h);
        return WaitFor(num(3), [&] { return GetForegroundWindow() == h; }) ? 0 : 1;
    }
    if (cmd == L"foreground") {
        HWND h = GetForegroundWindow();
        wchar_t buffer[1024] = {};
        if (h != nullptr)
            GetWindowTextW(h, buffer, static_cast<int>(std::size(buffer)));
        Print(buffer);
        return 0;
    }
    if (cmd == L"rect") {
        HWND h = TopWindow(arg(2));
        if (h == nullptr)
            return 1;
        RECT r{};
        GetWindowRect(h, &r);
        Print(std::to_wstring(r.left) + L" " + std::to_wstring(r.top) + L" " +
              std::to_wstring(r.right - r.left) + L" " + std::to_wstring(r.bottom - r.top));
        return 0;
    }
    if (cmd == L"move") {
        HWND h = TopWindow(arg(2));
        if (h == nullptr)
            return 1;
        const int x = _wtoi(arg(3).c_str()), y = _wtoi(arg(4).c_str());
        const int w = _wtoi(arg(5).c_str()), ht = _wtoi(arg(6).c_str());
        return SetWindowPos(h, nullptr, x, y, w, ht, SWP_NOZORDER | SWP_NOACTIVATE) ? 0 : 1;
    }
    if (cmd == L"hold-clipboard") {
        HWND owner = CreateWindowExW(0, L"STATIC", L"probe clipboard holder", 0, 0, 0, 0, 0,
                                     HWND_MESSAGE, nullptr, nullptr, nullptr);
        if (!WaitFor(2000, [&] { return OpenClipboard(owner) != 0; }))
            return 1;
        Print(L"holding");
        Sleep(num(2));
        CloseClipboard();
        DestroyWindow(owner);
        return 0;
    }
    if (cmd == L"slow-source") {
        gSlow = {arg(3), num(4)};
        if (OpenWindow(L"VantrelSlowSource", SlowSourceProc, arg(2), 500, 120) == nullptr)
            return 1;
        return RunMessages();
    }
    if (cmd == L"busy-source") {
        gBusyMs = num(6);
        gBusyOnActivation = arg(7) == L"activate";
        HWND h = OpenWindow(L"VantrelBusySource", BusySourceProc, arg(2), 650, 80);
        HWND edit =
            CreateWindowExW(0, L"EDIT", arg(3).c_str(), WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0,
                            0, 280, 30, h, nullptr, GetModuleHandleW(nullptr), nullptr);
        if (h == nullptr || edit == nullptr)
            return 1;
        gEditProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BusyEditProc)));
        SendMessageW(edit, EM_SETSEL, num(4), num(5));
        SetFocus(edit);
        return RunMessages();
    }
    if (cmd == L"watch-clipboard") {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ClipboardWatchProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"VantrelClipboardWatch";
        RegisterClassW(&wc);
        const HWND h = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                       nullptr, wc.hInstance, nullptr);
        if (h == nullptr || !AddClipboardFormatListener(h))
            return 1;
        return RunMessages();
    }
    if (cmd == L"taskbar-created") {
        // A restarted shell has lost the icons: the one of the window TITLE goes first.
        if (HWND owner = argc > 2 ? FindWindowW(nullptr, arg(2).c_str()) : nullptr) {
            NOTIFYICONDATAW icon{};
            icon.cbSize = sizeof(icon);
            icon.hWnd = owner;
            icon.uID = 1;
            Shell_NotifyIconW(NIM_DELETE, &icon);
        }
        const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(HWND_BROADCAST, message, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
        return 0;
    }
    if (cmd == L"setting-change") {
        const std::wstring text = arg(2);
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0,
                            reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000,
                            &ignored);
        return 0;
    }
    if (cmd == L"resources") {
        HWND h = TopWindow(arg(2));
        if (h == nullptr)
            return 1;
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid);
        if (process == nullptr)
            return 1;
        DWORD handles = 0;
        GetProcessHandleCount(process, &handles);
        const DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS);
        const DWORD user = GetGuiResources(process, GR_USEROBJECTS);
        CloseHandle(process);
        Print(std::to_wstring(handles) + L" " + std::to_wstring(gdi) + L" " +
              std::to_wstring(user));
        return 0;
    }
    HWND top = nullptr;
    if (cmd == L"texts" || cmd == L"set-text" || cmd == L"click" || cmd == L"check" ||
        cmd == L"checked" || cmd == L"focus" || cmd == L"close" || cmd == L"select" ||
        cmd == L"get-text") {
        top = TopWindow(arg(2));
        if (top == nullptr) {
            Print(L"no window titled " + arg(2));
            return 1;
        }
    }
    if (cmd == L"texts") {
        for (HWND h : Children(top)) {
            RECT r{};
            GetWindowRect(h, &r);
            Print(ClassOf(h) + L"|" + TextOf(h) + L"|" + std::to_wstring(r.left) + L" " +
                  std::to_wstring(r.top) + L" " + std::to_wstring(r.right - r.left) + L" " +
                  std::to_wstring(r.bottom - r.top));
        }
        return 0;
    }
    if (cmd == L"set-text") {
        HWND edit = NthEdit(top, static_cast<int>(num(3)));
        if (edit == nullptr)
            return 1;
        const std::wstring text = arg(4);
        SendMessageTimeoutW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                            SMTO_ABORTIFHUNG, 2000, nullptr);
        return 0;
    }
    if (cmd == L"select") {
        HWND edit = NthEdit(top, static_cast<int>(num(3)));
        if (edit == nullptr)
            return 1;
        SendMessageTimeoutW(edit, EM_SETSEL, num(4), static_cast<LPARAM>(num(5)), SMTO_ABORTIFHUNG,
                            2000, nullptr);
        return 0;
    }
    if (cmd == L"get-text") {
        HWND edit = NthEdit(top, static_cast<int>(num(3)));
        if (edit == nullptr)
            return 1;
        Print(TextOf(edit));
        return 0;
    }
    if (cmd == L"focus") {
        HWND edit = NthEdit(top, static_cast<int>(num(3)));
        if (edit == nullptr)
            return 1;
        // Focus belongs to the other thread's queue: borrow its input state briefly.
        const DWORD other = GetWindowThreadProcessId(edit, nullptr);
        AttachThreadInput(GetCurrentThreadId(), other, TRUE);
        SetForegroundWindow(top);
        SetFocus(edit);
        AttachThreadInput(GetCurrentThreadId(), other, FALSE);
        return 0;
    }
    if (cmd == L"checked") {
        HWND button = ButtonCaptioned(top, arg(3));
        if (button == nullptr)
            return 1;
        DWORD_PTR state = 0;
        SendMessageTimeoutW(button, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state);
        Print(state == BST_UNCHECKED ? L"0" : L"1");
        return 0;
    }
    if (cmd == L"click" || cmd == L"check") {
        HWND button = ButtonCaptioned(top, arg(3));
        if (button == nullptr) {
            Print(L"no button " + arg(3));
            return 1;
        }
        if (cmd == L"check") {
            SendMessageTimeoutW(button, BM_SETCHECK, num(4) != 0 ? BST_CHECKED : BST_UNCHECKED, 0,
                                SMTO_ABORTIFHUNG, 2000, nullptr);
            return 0;
        }
        PostMessageW(button, BM_CLICK, 0, 0);
        return 0;
    }
    if (cmd == L"close") {
        PostMessageW(top, WM_CLOSE, 0, 0);
        return 0;
    }
    if (cmd == L"box") {
        BoxSearch s;
        if (!WaitFor(num(2), [&] {
                s.found = nullptr;
                EnumWindows(FindBox, reinterpret_cast<LPARAM>(&s));
                return s.found != nullptr;
            }))
            return 1;
        wchar_t caption[512] = {};
        GetWindowTextW(s.found, caption, static_cast<int>(std::size(caption)));
        const LONG_PTR ex = GetWindowLongPtrW(s.found, GWL_EXSTYLE);
        Print(std::wstring(caption) + L"|" + TextOf(GetDlgItem(s.found, 0xFFFF)) + L"|" +
              ((ex & WS_EX_TOPMOST) != 0 ? L"topmost" : L"normal"));
        HWND ok = GetDlgItem(s.found, IDOK);
        if (ok == nullptr)
            ok = GetDlgItem(s.found, IDCANCEL);
        PostMessageW(ok != nullptr ? ok : s.found, ok != nullptr ? BM_CLICK : WM_CLOSE, 0, 0);
        return 0;
    }
    return Usage();
}
