#include "hotkey/modHotKey.h"

namespace vantrel::modHotKey {

void Hook(WindowHandle) {}
void Unhook(WindowHandle) {}
std::intptr_t WindowProc(WindowHandle, std::uint32_t, std::uintptr_t, std::intptr_t) { return 0; }
void SetMainWindow(std::function<WindowHandle()>) {}

}  // namespace vantrel::modHotKey
