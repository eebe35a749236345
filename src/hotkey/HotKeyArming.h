#pragma once

#include <functional>
#include <memory>

#include "hotkey/cGlobalAtom.h"
#include "platform/Types.h"

namespace vantrel {

// The main window's one global hotkey: arming installs the replacement
// procedure and registers the key from the settings; disarming undoes both.
class HotKeyArming {
public:
    explicit HotKeyArming(std::function<WindowHandle()> mainWindow);
    // Deletes the identifier atom; the hotkey itself is disarmed by the owner.
    ~HotKeyArming();
    HotKeyArming(const HotKeyArming&) = delete;
    HotKeyArming& operator=(const HotKeyArming&) = delete;

    void EnableHotKey(bool enable);
    bool HotKeyRegistered() const { return registered_; }

private:
    int Identifier();

    std::function<WindowHandle()> mainWindow_;
    std::unique_ptr<cGlobalAtom> atom_;
    bool registered_ = false;
};

}  // namespace vantrel
