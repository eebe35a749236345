#pragma once

#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/GlobalAtoms.h"
#include "platform/HotKeys.h"
#include "platform/Keyboard.h"
#include "platform/Log.h"
#include "platform/MessageBoxes.h"
#include "platform/MessageLoop.h"
#include "platform/Processes.h"
#include "platform/Registry.h"
#include "platform/SettingsStore.h"
#include "platform/TopWindows.h"
#include "platform/Tray.h"
#include "platform/WindowProcs.h"

namespace vantrel {

// The desktop services the program uses, real on Windows and in memory in tests.
struct Desktop {
    SettingsStore& settings;
    Clipboard& clipboard;
    Keyboard& keyboard;
    TopWindows& windows;
    Files& files;
    Processes& processes;
    MessageBoxes& boxes;
    MessageLoop& loop;
    HotKeys& hotkeys;
    GlobalAtoms& atoms;
    Clock& clock;
    WindowProcs& procs;
    Tray& tray;
    Registry& registry;
    // Last and with a default, so a service set made for one test needs no log.
    Log& log = NoLog();
};

// The services in force. Throws Error when none are installed.
Desktop& CurrentDesktop();

// Installs a set of services for its lifetime and restores the previous one.
class DesktopScope {
  public:
    explicit DesktopScope(Desktop& desktop);
    ~DesktopScope();
    DesktopScope(const DesktopScope&) = delete;
    DesktopScope& operator=(const DesktopScope&) = delete;

  private:
    Desktop* previous_;
};

}  // namespace vantrel
