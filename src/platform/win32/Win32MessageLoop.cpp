#include "platform/win32/Win32MessageLoop.h"

#include <windows.h>

#include <algorithm>
#include <string_view>

namespace vantrel::win32 {

namespace {
// Short enough that a done() that turns true without a message (another
// thread's clipboard change) is seen soon; long enough to cost no processor time.
constexpr std::chrono::milliseconds kRest{8};

// Ordinary windows get their keys unchanged: only a dialog's own class.
bool IsDialog(HWND window) {
    wchar_t className[16] = {};
    GetClassNameW(window, className, static_cast<int>(std::size(className)));
    return std::wstring_view(className) == L"#32770";
}
}  // namespace

void HandOn(MSG& msg) {
    const HWND active = GetActiveWindow();
    if (active != nullptr && IsDialog(active) && IsDialogMessageW(active, &msg))
        return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

bool RunMessagesUntil(const std::function<bool()>& done, bool passQuitOn) {
    MSG msg{};
    while (!done()) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1)
            return false;
        if (got == 0) {
            if (passQuitOn)
                PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        HandOn(msg);
    }
    return true;
}

bool Win32MessageLoop::Pass() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Leave it for the main loop, which ends the program on it.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        HandOn(msg);
    }
    return true;
}

void Win32MessageLoop::ProcessPending() {
    Pass();
}

std::uint32_t Win32MessageLoop::MessageTime() {
    return static_cast<std::uint32_t>(GetMessageTime());
}

// The clock the messages' time stamps are on.
std::uint32_t Win32MessageLoop::Ticks() {
    return GetTickCount();
}

bool Win32MessageLoop::PumpUntil(const std::function<bool()>& done,
                                 std::optional<std::chrono::milliseconds> bound) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = bound ? std::optional(Clock::now() + *bound) : std::nullopt;
    while (!done()) {
        // The quit request would wake every rest at once: waiting on would
        // burn the processor until the condition held, which may be never.
        if (!Pass())
            return done();
        if (done())
            return true;
        auto rest = kRest;
        if (deadline) {
            const auto left =
                std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now());
            if (left <= std::chrono::milliseconds::zero())
                return false;
            rest = std::min(rest, left);
        }
        // Wakes early when input arrives, including input already waiting.
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(rest.count()), QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
    }
    return true;
}

}  // namespace vantrel::win32
