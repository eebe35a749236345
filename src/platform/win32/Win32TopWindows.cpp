#include "platform/win32/Win32TopWindows.h"

#include <windows.h>

#include <exception>
#include <iterator>
#include <string>
#include <string_view>

#include "platform/Error.h"
#include "platform/win32/Unicode.h"

namespace vantrel::win32 {

namespace {

bool EqualIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() &&
           (a.empty() || CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL);
}

struct Search {
    std::wstring wanted;
    HWND exact = nullptr;
    HWND prefix = nullptr;
    std::exception_ptr failure;
};

// Read as the system keeps it, without a message to the window: a program that
// has stopped answering must not stop us too.
std::wstring WindowTitle(HWND window) {
    std::wstring title(1024, L'\0');
    const int got = InternalGetWindowText(window, title.data(), static_cast<int>(title.size()));
    title.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return title;
}

BOOL CALLBACK Visit(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<Search*>(param);
    try {
        if (!IsWindowVisible(window))
            return TRUE;
        const std::wstring title = WindowTitle(window);
        if (EqualIgnoringCase(title, search.wanted)) {
            search.exact = window;
            return FALSE;
        }
        if (search.prefix == nullptr && title.size() >= search.wanted.size() &&
            EqualIgnoringCase(std::wstring_view(title).substr(0, search.wanted.size()),
                              search.wanted)) {
            search.prefix = window;
        }
        return TRUE;
    } catch (...) {
        // Nothing may unwind through EnumWindows; rethrown once it has returned.
        search.failure = std::current_exception();
        return FALSE;
    }
}

}  // namespace

WindowHandle Win32TopWindows::ActivateByTitle(std::string_view title) {
    Search search;
    search.wanted = Widen(title);
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
    if (search.failure)
        std::rethrow_exception(search.failure);
    const HWND window = search.exact != nullptr ? search.exact : search.prefix;
    if (window == nullptr)
        throw Error("No window has the title '" + std::string(title) + "'");
    Activate(reinterpret_cast<WindowHandle>(window));
    return reinterpret_cast<WindowHandle>(window);
}

WindowHandle Win32TopWindows::Foreground() {
    return reinterpret_cast<WindowHandle>(GetForegroundWindow());
}

void Win32TopWindows::Activate(WindowHandle handle) {
    const HWND window = reinterpret_cast<HWND>(handle);
    // Asynchronously: a hung program would hold a plain ShowWindow for good.
    if (IsIconic(window))
        ShowWindowAsync(window, SW_RESTORE);
    brought_ = GetForegroundWindow() != window ? handle : 0;
    // Not waiting for the other program to take the focus: it gets it when it
    // next reads its messages, and the keystrokes that follow queue up meanwhile.
    SetForegroundWindow(window);
}

namespace {

// Raising a window can still bring its program work after it has taken the
// activation: under Wine, the events of the raise (the pointer now over the
// window) make it re-read the modifier keys from X, which drops a Ctrl sent
// meanwhile, so Ctrl+C would type a "c" over the user's selection. A message
// sent to the window is answered only once its thread is back in its message
// loop, where those events are read: the keys wait for that answer, not for a
// guessed moment.
//
// A program reading its messages answers at once; one that does not within
// this long is still at work on what it was given. A hung one
// (SMTO_ABORTIFHUNG) and one that is gone (SMTO_ERRORONEXIT) answer nothing.
constexpr UINT kAnswerPatienceMs = 50;

bool Answers(HWND window) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_ERRORONEXIT,
                               kAnswerPatienceMs, &ignored) != 0;
}

}  // namespace

// The system makes a window the foreground one before its program has taken
// the activation; only once the program has given one of its windows the
// focus, and has answered a message after that, is it ready for keystrokes
// and can say what is selected.
bool Win32TopWindows::IsForeground(WindowHandle window) {
    const HWND hwnd = reinterpret_cast<HWND>(window);
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    const bool ready = GetForegroundWindow() == hwnd &&
                       (!GetGUIThreadInfo(GetWindowThreadProcessId(hwnd, nullptr), &info) ||
                        info.hwndFocus != nullptr);
    if (!ready || window != brought_)
        return ready;
    // A hung program answers nothing, but the keys sent to it wait in its queue
    // and reach it, in order, once it runs again.
    if (!Answers(hwnd) && !IsHungAppWindow(hwnd))
        return false;
    brought_ = 0;
    return true;
}

namespace {

// The edit controls of the system, which the edits of VB, Delphi, MFC and
// Windows Forms programs are made from (their real class says so).
bool IsStandardEdit(HWND control) {
    wchar_t name[64] = {};
    if (RealGetWindowClassW(control, name, static_cast<UINT>(std::size(name))) == 0)
        return false;
    const std::wstring_view real(name);
    for (const std::wstring_view edit :
         {L"Edit", L"RichEdit", L"RichEdit20A", L"RichEdit20W", L"RICHEDIT50W", L"RICHEDIT60W"}) {
        if (EqualIgnoringCase(real, edit))
            return true;
    }
    return false;
}

// Long enough for a busy program to answer, short beside the copy's own wait.
constexpr UINT kSelectionPatienceMs = 50;

}  // namespace

Selection Win32TopWindows::FocusedSelection(WindowHandle window) {
    HWND top = reinterpret_cast<HWND>(window);
    if (top == nullptr)
        top = GetForegroundWindow();
    if (top == nullptr)
        return Selection::Unknown;
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &info))
        return Selection::Unknown;
    const HWND focus = info.hwndFocus;
    if (focus == nullptr || !IsStandardEdit(focus))
        return Selection::Unknown;
    // A password box shows a selection but refuses every copy.
    if ((GetWindowLongW(focus, GWL_STYLE) & ES_PASSWORD) != 0)
        return Selection::NeverCopies;
    DWORD_PTR packed = 0;
    // A program that does not answer in time, or refuses (an elevated one), is
    // given the ordinary wait.
    if (!SendMessageTimeoutW(focus, EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG | SMTO_ERRORONEXIT,
                             kSelectionPatienceMs, &packed))
        return Selection::Unknown;
    const WORD start = LOWORD(packed);
    const WORD end = HIWORD(packed);
    // Beyond 65535 characters the answer no longer fits in the result.
    if (start == 0xFFFF || end == 0xFFFF)
        return Selection::Unknown;
    return start == end ? Selection::Empty : Selection::NotEmpty;
}

bool Win32TopWindows::IsBusy(WindowHandle window) {
    HWND top = reinterpret_cast<HWND>(window);
    if (top == nullptr)
        top = GetForegroundWindow();
    if (top == nullptr)
        return false;
    // A program that is gone has nothing more to copy; a hung one is busy.
    return !Answers(top) && IsWindow(top) != FALSE;
}

}  // namespace vantrel::win32
