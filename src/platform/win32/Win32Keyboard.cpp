#include "platform/win32/Win32Keyboard.h"

#include <windows.h>

#include <algorithm>
#include <array>

#include "platform/Error.h"
#include "platform/win32/Win32Error.h"

namespace vantrel::win32 {

namespace {

// Keys of the extended block: without the flag, Home and End would arrive as
// the numeric keypad's 7 and 1 when Num Lock is on.
// clang-format off
constexpr std::array<WORD, 18> kExtendedKeys = {
    VK_HOME, VK_END, VK_PRIOR, VK_NEXT, VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN,
    VK_INSERT, VK_DELETE, VK_RCONTROL, VK_RMENU, VK_LWIN, VK_RWIN, VK_APPS,
    VK_DIVIDE, VK_NUMLOCK, VK_SNAPSHOT,
};
// clang-format on

bool IsExtended(WORD vk) {
    return std::find(kExtendedKeys.begin(), kExtendedKeys.end(), vk) != kExtendedKeys.end();
}

}  // namespace

bool Win32Keyboard::IsKeyDown(int vk) {
    return GetAsyncKeyState(vk) != 0;
}

// The setting runs from 0 (about 250 ms) to 3 (about 1 s).
std::chrono::milliseconds Win32Keyboard::RepeatDelay() {
    int setting = 1;
    if (!SystemParametersInfoW(SPI_GETKEYBOARDDELAY, 0, &setting, 0))
        setting = 1;
    return std::chrono::milliseconds(250 * (std::clamp(setting, 0, 3) + 1));
}

void Win32Keyboard::Send(const std::vector<KeyEvent>& events) {
    if (events.empty())
        return;
    std::vector<INPUT> inputs(events.size());
    for (std::size_t i = 0; i < events.size(); ++i) {
        INPUT& in = inputs[i];
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = events[i].vk;
        in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(events[i].vk, MAPVK_VK_TO_VSC));
        in.ki.dwFlags = (events[i].up ? KEYEVENTF_KEYUP : 0) |
                        (IsExtended(events[i].vk) ? KEYEVENTF_EXTENDEDKEY : 0);
    }
    // One call, so no other input can land between our keys.
    const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    ThrowLastErrorIf(sent != inputs.size(), "Sending keystrokes (" + std::to_string(sent) + " of " +
                                                std::to_string(inputs.size()) + " sent)");
}

}  // namespace vantrel::win32
