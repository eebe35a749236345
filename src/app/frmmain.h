#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "app/CIAsystray.h"
#include "hotkey/HotKeyArming.h"
#include "platform/ErrorBox.h"
#include "settings/clsSettings.h"

namespace vantrel {

// What the main window's buttons and its tray menu "Options" can ask for.
// The values travel as command identifiers of the window's controls and menu,
// so they start above the dialog-box identifiers (IDOK, IDCANCEL...).
enum class MainCommand : std::uint16_t {
    Settings = 101,  // menu item "Settings"
    mnuExit = 102,
    mnuAbout = 103,
    cmdConfigure = 111,
    cmdExit = 112,
    cmdMinimize = 113,
};

// The window-system half of the main window: the real one on Windows, a fake
// in the tests.
class MainWindowHost : public TrayWindow {
  public:
    virtual void SetForeground() = 0;
    // Shows the menu "Options" at the mouse position and returns the item the
    // user chose, nothing when the menu was dismissed.
    virtual std::optional<MainCommand> PopupOptionsMenu() = 0;
    // The settings dialog, modal, showing `values`: what the user confirmed
    // with OK, or nothing for Cancel. While one is open, brings it to the
    // front and returns nothing at once.
    virtual std::optional<SettingsValues> ShowSettingsDialog(const SettingsValues& values) = 0;
    virtual void ShowAbout() = 0;
    virtual void Minimize() = 0;
    // The window goes away; called once, after the unload handler.
    virtual void Destroy() = 0;
};

// The hidden main window: it owns the tray icon, the tray menu, the hotkey
// registration and the replacement window procedure. One per program, alive
// until the program ends.
class frmmain {
  public:
    explicit frmmain(MainWindowHost& host);
    ~frmmain();
    frmmain(const frmmain&) = delete;
    frmmain& operator=(const frmmain&) = delete;

    // The load handler: tray icon, settings, field 1 and the hotkey (or the
    // settings dialog first when no index field is stored), then hidden.
    void Form_Load();
    // Unloads the window: the unload handler runs, then the window goes.
    void Unload();
    // The tray callback; `x` is the mouse message that happened over the icon.
    void Form_MouseMove(std::int32_t x);
    // Runs a command of a button or of the tray menu.
    void Command(MainCommand command);
    // The task bar was re-created: the icon goes back into it.
    void TaskbarCreated();
    // Group Policy has applied: the settings are read again once no press is
    // under way, and the hotkey armed anew if it changed.
    void PolicyApplied();

    // The Settings command: the dialog between a disarm and an arm, with
    // field 1 replaced in between.
    void SettingsCommand();

    bool Loaded() const { return loaded_; }
    const HotKeyArming& HotKey() const { return arming_; }

    // Runs one handler of the window; a failure is shown in its "error in"
    // box and goes no further.
    void Handle(Handler handler, const std::function<void()>& body);

  private:
    void Form_Unload();
    void EditSettings();
    void ReadSettingsAgain();

    MainWindowHost& host_;
    HotKeyArming arming_;
    bool loaded_ = true;
    std::int32_t lastMouseMessage_ = 0;
    bool busy_ = false;
    bool settingsOpen_ = false;
    bool readAgainPending_ = false;
};

// The handler a command runs in, as its failure box names it.
Handler HandlerOf(MainCommand command);

}  // namespace vantrel
