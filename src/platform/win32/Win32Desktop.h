#pragma once

#include "platform/Desktop.h"
#include "platform/win32/RegistrySettingsStore.h"
#include "platform/win32/Win32Clipboard.h"
#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32Files.h"
#include "platform/win32/Win32GlobalAtoms.h"
#include "platform/win32/Win32HotKeys.h"
#include "platform/win32/Win32Keyboard.h"
#include "platform/win32/Win32Log.h"
#include "platform/win32/Win32MessageBoxes.h"
#include "platform/win32/Win32MessageLoop.h"
#include "platform/win32/Win32Processes.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32TopWindows.h"
#include "platform/win32/Win32Tray.h"
#include "platform/win32/Win32WindowProcs.h"

namespace vantrel::win32 {

// The real desktop services. Install with DesktopScope{w.desktop()}.
class Win32Desktop {
  public:
    Win32Desktop();
    Win32Desktop(const Win32Desktop&) = delete;
    Win32Desktop& operator=(const Win32Desktop&) = delete;
    Desktop& desktop() { return desktop_; }

    RegistrySettingsStore settings;
    Win32Clipboard clipboard;
    Win32Keyboard keyboard;
    Win32TopWindows windows;
    Win32Files files;
    Win32Processes processes;
    Win32MessageBoxes boxes;
    Win32MessageLoop loop;
    Win32HotKeys hotkeys;
    Win32GlobalAtoms atoms;
    Win32Clock clock;
    Win32WindowProcs procs;
    Win32Tray tray;
    Win32Registry registry;
    Win32Log log;

  private:
    Desktop desktop_;
};

}  // namespace vantrel::win32
