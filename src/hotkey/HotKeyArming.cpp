#include "hotkey/HotKeyArming.h"

#include <utility>

#include "hotkey/modHotKey.h"
#include "platform/Desktop.h"

namespace vantrel {

HotKeyArming::HotKeyArming(std::function<WindowHandle()> mainWindow,
                           std::function<HotKeyCombination()> keyInForce)
    : mainWindow_(std::move(mainWindow)), keyInForce_(std::move(keyInForce)) {}

HotKeyArming::~HotKeyArming() = default;

// Made at the first arming and kept, so every registration of a run carries
// the same identifier.
int HotKeyArming::Identifier() {
    if (!atom_)
        atom_ = std::make_unique<cGlobalAtom>();
    return atom_->value();
}

// Arming an armed hotkey changes nothing, not even after the settings changed:
// new settings take effect through a disarm and an arm. The replacement
// procedure goes in before the registration and comes out after it, whatever
// the platform answered.
void HotKeyArming::EnableHotKey(bool enable) {
    if (registered_) {
        if (enable)
            return;
        const WindowHandle hwnd = mainWindow_();
        const int id = Identifier();
        registered_ = CurrentDesktop().hotkeys.Unregister(hwnd, id) == 0;
        if (registered_)
            LogEvent("hotkey could not be released");
        modHotKey::Unhook(mainWindow_());
        return;
    }
    if (!enable)
        return;
    modHotKey::Hook(mainWindow_());
    const WindowHandle hwnd = mainWindow_();
    const int id = Identifier();
    const HotKeyCombination key = keyInForce_();
    registered_ = CurrentDesktop().hotkeys.Register(hwnd, id, key.modifiers, key.vk) == 1;
    LogEvent("hotkey " + key.name +
             (registered_ ? " registered" : " refused: another program holds it"));
}

}  // namespace vantrel
