#include "hotkey/HotKeyArming.h"

#include <utility>

namespace vantrel {

HotKeyArming::HotKeyArming(std::function<WindowHandle()> mainWindow) : mainWindow_(std::move(mainWindow)) {}

void HotKeyArming::EnableHotKey(bool) {}

}  // namespace vantrel
