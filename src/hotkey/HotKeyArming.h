#pragma once

#include <functional>
#include <memory>
#include <string>

#include "hotkey/cGlobalAtom.h"
#include "platform/Types.h"

namespace vantrel {

// A key combination as registration takes it: modifiers 1 Alt, 2 Control,
// 4 Shift, and the virtual-key code.
struct HotKeyCombination {
    int modifiers = 0;
    int vk = 0;
    std::string name;  // as the user knows it ("Ctrl-Alt F5"), for the log
};

// The main window's one global hotkey: arming installs the replacement
// procedure and registers the key in force; disarming undoes both.
class HotKeyArming {
  public:
    // `mainWindow` is asked for the window each time it is needed, `keyInForce`
    // for the combination at each registration (never when nothing registers).
    HotKeyArming(std::function<WindowHandle()> mainWindow,
                 std::function<HotKeyCombination()> keyInForce);
    // Deletes the identifier atom; the hotkey itself is disarmed by the owner.
    ~HotKeyArming();
    HotKeyArming(const HotKeyArming&) = delete;
    HotKeyArming& operator=(const HotKeyArming&) = delete;

    void EnableHotKey(bool enable);
    bool HotKeyRegistered() const { return registered_; }

  private:
    int Identifier();

    std::function<WindowHandle()> mainWindow_;
    std::function<HotKeyCombination()> keyInForce_;
    std::unique_ptr<cGlobalAtom> atom_;
    bool registered_ = false;
};

}  // namespace vantrel
