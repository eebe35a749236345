// doccenter.exe: a stand-in for the imaging application's window titled "Document Center",
// for development, the demo and the tests. It shows the current document number, the indexed
// fields and a list of operations received from brisklet.exe (WM_COPYDATA, see brisklet.cpp),
// and appends to "doccenter.log" beside itself one line per event:
//   <microseconds since the Unix epoch> <event>
// with the events
//   start <pid> | exit
//   activate | deactivate                  WM_ACTIVATE
//   activateapp | deactivateapp            WM_ACTIVATEAPP
//   field <name> = <value>
//   saved document <n>
//   next document -> <n>
//   search <app> <field>='<value>'
//   ignored <what>
// `doccenter.exe --quit` closes every running Document Center window and exits.
// Idle it only waits in GetMessage: no timers, no polling.

#include <windows.h>
#include <shellapi.h>

#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "common/ToolSupport.h"
#include "platform/win32/Unicode.h"

namespace vantrel::tools {

namespace {

constexpr wchar_t kClassName[] = L"VantrelDocumentCenter";
constexpr std::size_t kShownOperations = 200;
constexpr DWORD kMaxMessageBytes = 1 << 20;

struct State {
    int document = 1;
    std::vector<std::pair<std::string, std::string>> fields;  // in the order first set
    std::deque<std::string> operations;
    HWND view = nullptr;
};

State& TheState() {
    static State state;
    return state;
}

void LogEvent(const std::string& event) {
    AppendToFile(PathBesideExe(L"doccenter.log"),
                 std::to_string(UnixMicrosNow()) + " " + event + "\n");
}

// A sender other than brisklet may put anything in a message; keep every line one line.
std::string OneLine(std::string text) {
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = '?';
    }
    return text;
}

std::vector<std::string> SplitTabs(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = text.find('\t', start);
        parts.push_back(OneLine(
            text.substr(start, tab == std::string::npos ? std::string::npos : tab - start)));
        if (tab == std::string::npos)
            return parts;
        start = tab + 1;
    }
}

// The edit control grows slow with huge lines; the log keeps the full text.
std::string Shown(const std::string& text) {
    constexpr std::size_t kLongest = 300;
    if (text.size() <= kLongest)
        return text;
    std::size_t cut = kLongest;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return text.substr(0, cut) + "...";
}

void Refresh() {
    const State& s = TheState();
    std::string text = "Document " + std::to_string(s.document) + "\r\n\r\nIndex fields\r\n";
    if (s.fields.empty())
        text += "  (none)\r\n";
    for (const auto& [name, value] : s.fields)
        text += "  " + Shown(name) + " = " + Shown(value) + "\r\n";
    text += "\r\nOperations\r\n";
    for (const std::string& op : s.operations) text += "  " + Shown(op) + "\r\n";
    SetWindowTextW(s.view, win32::Widen(text).c_str());
    // Show the newest operation.
    SendMessageW(s.view, EM_SETSEL, static_cast<WPARAM>(-1), -1);
    SendMessageW(s.view, EM_SCROLLCARET, 0, 0);
}

void Operation(const std::string& what) {
    State& s = TheState();
    LogEvent(what);
    s.operations.push_back(what);
    if (s.operations.size() > kShownOperations)
        s.operations.pop_front();
    Refresh();
}

void Apply(const std::string& message) {
    State& s = TheState();
    const std::vector<std::string> p = SplitTabs(message);
    if (p[0] == "field" && p.size() == 3) {
        bool found = false;
        for (auto& [name, value] : s.fields) {
            if (name == p[1]) {
                value = p[2];
                found = true;
            }
        }
        if (!found)
            s.fields.emplace_back(p[1], p[2]);
        Operation("field " + p[1] + " = " + p[2]);
    } else if (p[0] == "save" && p.size() == 1) {
        Operation("saved document " + std::to_string(s.document));
    } else if (p[0] == "next" && p.size() == 1) {
        ++s.document;
        s.fields.clear();
        Operation("next document -> " + std::to_string(s.document));
    } else if (p[0] == "search" && p.size() == 4) {
        Operation("search " + p[1] + " " + p[2] + "='" + p[3] + "'");
    } else {
        Operation("ignored " + OneLine(message.substr(0, 200)));
    }
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CREATE: {
            TheState().view = CreateWindowExW(
                WS_EX_CLIENTEDGE, L"EDIT", L"",
                WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 0,
                0, 0, 0, hwnd, nullptr, reinterpret_cast<const CREATESTRUCTW*>(lParam)->hInstance,
                nullptr);
            SendMessageW(TheState().view, WM_SETFONT,
                         reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
            Refresh();
            return 0;
        }
        case WM_SIZE:
            MoveWindow(TheState().view, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
            return 0;
        case WM_ACTIVATE:
            LogEvent(LOWORD(wParam) == WA_INACTIVE ? "deactivate" : "activate");
            break;
        case WM_ACTIVATEAPP:
            LogEvent(wParam ? "activateapp" : "deactivateapp");
            break;
        case WM_COPYDATA: {
            const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            if (!data || data->dwData != kCopyDataTag || data->cbData > kMaxMessageBytes ||
                (data->cbData > 0 && !data->lpData)) {
                Operation("ignored copydata");
                return FALSE;
            }
            Apply(std::string(static_cast<const char*>(data->lpData), data->cbData));
            return TRUE;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

BOOL CALLBACK CloseIfDocumentCenter(HWND hwnd, LPARAM) {
    wchar_t name[64] = {};
    if (GetClassNameW(hwnd, name, 64) && lstrcmpW(name, kClassName) == 0)
        PostMessageW(hwnd, WM_CLOSE, 0, 0);
    return TRUE;
}

int Run(HINSTANCE instance, int show) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClassName;
    if (!RegisterClassExW(&wc))
        return 1;

    win32::UniqueHwnd window(CreateWindowExW(0, kClassName, kDocumentCenterTitle,
                                             WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 520,
                                             400, nullptr, nullptr, instance, nullptr));
    if (!window)
        return 1;
    LogEvent("start " + std::to_string(GetCurrentProcessId()));
    ShowWindow(window.get(), show);
    UpdateWindow(window.get());

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    window.release();  // WM_CLOSE already destroyed it
    LogEvent("exit");
    return 0;
}

}  // namespace

}  // namespace vantrel::tools

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    using namespace vantrel::tools;
    int argc = 0;
    const LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const bool quit = argv && argc >= 2 && lstrcmpiW(argv[1], L"--quit") == 0;
    LocalFree(const_cast<LPWSTR*>(argv));
    if (quit) {
        EnumWindows(CloseIfDocumentCenter, 0);
        return 0;
    }
    return Run(instance, show);
}
