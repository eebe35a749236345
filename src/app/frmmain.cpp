#include "app/frmmain.h"

#include <array>
#include <exception>
#include <string>
#include <utility>

#include "hotkey/modHotKey.h"
#include "link/clsAppLink.h"
#include "platform/Desktop.h"
#include "platform/ErrorBox.h"
#include "platform/FlagScope.h"
#include "settings/KeyNames.h"

namespace vantrel {

namespace {

constexpr auto kRightButtonUp =
    static_cast<std::int32_t>(kWmRButtonUp);  // as the tray reports it in x
struct CommandHandler {
    MainCommand command;
    Handler handler;
};

// clang-format off
constexpr std::array kHandlers{
    CommandHandler{MainCommand::Settings,     Handler::frmmain_Settings_Click},
    CommandHandler{MainCommand::mnuExit,      Handler::frmmain_mnuExit_Click},
    CommandHandler{MainCommand::mnuAbout,     Handler::frmmain_mnuAbout_Click},
    CommandHandler{MainCommand::cmdConfigure, Handler::frmmain_cmdConfigure_Click},
    CommandHandler{MainCommand::cmdExit,      Handler::frmmain_cmdExit_Click},
    CommandHandler{MainCommand::cmdMinimize,  Handler::frmmain_cmdMinimize_Click},
};
// clang-format on

}  // namespace

Handler HandlerOf(MainCommand command) {
    for (const CommandHandler& h : kHandlers) {
        if (h.command == command)
            return h.handler;
    }
    return Handler::frmmain_Settings_Click;  // every command has its row
}

// The hotkey's window procedure asks for the main window on every message.
frmmain::frmmain(MainWindowHost& host)
    : host_(host),
      arming_([&host] { return host.Handle(); },
              [] {
                  const clsSettings& settings = AppLink().oSettings();
                  return HotKeyCombination{settings.HotKeyMod(), settings.HotKey(),
                                           HotKeyLabel(settings.HotKeyShift(), settings.HotKey())};
              }) {
    modHotKey::SetMainWindow([&host] { return host.Handle(); });
}

frmmain::~frmmain() {
    modHotKey::SetMainWindow({});
}

void frmmain::Form_Load() {
    AddTrayIcon(host_);
    clsAppLink& link = AppLink();
    if (link.oSettings().GetSettings()) {
        // The only place that chooses the procedure: a normal run indexes.
        link.ProcedureType(kIndexProcedure);
        const std::string field = link.oSettings().Field();
        if (!field.empty()) {
            link.colFields()->Add(field, "");
            arming_.EnableHotKey(true);
        } else {
            SettingsCommand();
        }
    }
    host_.Hide();
}

// The dialog may change the key, so the hotkey is released around it and
// registered anew from whatever the settings then hold. Field 1 is replaced
// even when the dialog was cancelled or left the field empty.
void frmmain::SettingsCommand() {
    // One dialog at a time, however it was asked for: a second one would arm
    // the hotkey under the first, and the key chosen there would never be
    // registered. Asked again, the open one comes forward.
    if (settingsOpen_) {
        host_.ShowSettingsDialog(AppLink().oSettings().Values());
        return;
    }
    // A press waiting meanwhile was made with the settings now being changed.
    modHotKey::AbandonPress();
    const FlagScope open(settingsOpen_);
    const bool wasArmed = arming_.HotKeyRegistered();
    arming_.EnableHotKey(false);
    try {
        EditSettings();
    } catch (...) {
        // A dialog that could not run changed nothing, so the hotkey goes back
        // as it was rather than staying off until Settings is opened again.
        if (wasArmed && loaded_)
            arming_.EnableHotKey(true);
        throw;
    }
    // Exit chosen from the tray while the dialog was open has already
    // released everything; arming now would register on a window that is gone.
    if (!loaded_)
        return;
    clsAppLink& link = AppLink();
    const std::shared_ptr<colFields> fields = link.colFields();
    if (fields->Count() == 1)
        fields->Remove(1);
    fields->Add(link.oSettings().Field(), "");
    arming_.EnableHotKey(true);
    if (std::exchange(readAgainPending_, false))
        ReadSettingsAgain();
}

// The dialog gives back what the user confirmed, and it is saved here. A save
// that fails is shown, and the dialog comes back with the user's entries to
// retry or cancel; the settings object keeps them either way.
void frmmain::EditSettings() {
    clsSettings& settings = AppLink().oSettings();
    std::optional<SettingsValues> confirmed = host_.ShowSettingsDialog(settings.Values());
    while (confirmed && loaded_) {
        settings.Assign(*confirmed);
        try {
            settings.SaveSettings();
            return;
        } catch (const std::exception& e) {
            ShowErrorBox(Handler::frmSettings_cmdOK_Click, e.what());
        }
        confirmed = host_.ShowSettingsDialog(*confirmed);
    }
}

void frmmain::Form_Unload() {
    arming_.EnableHotKey(false);
    RemoveTrayIcon(host_);
}

// The unloading is never cancelled: the window goes even when its handler
// fails, and the failure still reaches the caller.
void frmmain::Unload() {
    if (!loaded_)
        return;
    loaded_ = false;
    // Nothing of a press may happen after Exit: it waits in a loop nested in
    // this one, and would go on with the old settings once the keys came up.
    modHotKey::AbandonPress();
    try {
        Form_Unload();
    } catch (...) {
        host_.Destroy();
        throw;
    }
    host_.Destroy();
}

// The tray sends its mouse messages as mouse moves carrying the message in x.
// A command chosen from the menu runs before the menu call returns, so the
// busy flag covers the menu and the command alike.
void frmmain::Form_MouseMove(std::int32_t x) {
    lastMouseMessage_ = x;
    if (busy_)
        return;
    const FlagScope busy(busy_);
    if (lastMouseMessage_ != kRightButtonUp)
        return;
    host_.SetForeground();
    const std::optional<MainCommand> chosen = host_.PopupOptionsMenu();
    if (chosen)
        Handle(HandlerOf(*chosen), [&] { Command(*chosen); });
}

void frmmain::Command(MainCommand command) {
    switch (command) {
        case MainCommand::Settings:
        case MainCommand::cmdConfigure:
            SettingsCommand();
            break;
        case MainCommand::mnuExit:
        case MainCommand::cmdExit:
            Unload();
            break;
        case MainCommand::mnuAbout:
            host_.ShowAbout();
            break;
        case MainCommand::cmdMinimize:
            host_.Minimize();
            break;
    }
}

void frmmain::TaskbarCreated() {
    RestoreTrayIcon();
}

void frmmain::PolicyApplied() {
    modHotKey::AfterPress(
        [this] { Handle(Handler::frmmain_Form_SettingChange, [this] { ReadSettingsAgain(); }); });
}

// A bad value keeps the settings in force: the clerk goes on working, and the
// log tells support what the policy holds. While the dialog is open this waits
// for it, which arms the hotkey from what it saved.
void frmmain::ReadSettingsAgain() {
    if (!loaded_)
        return;
    if (settingsOpen_) {
        readAgainPending_ = true;
        return;
    }
    clsAppLink& link = AppLink();
    clsSettings& settings = link.oSettings();
    const int modBefore = settings.HotKeyMod();
    const int keyBefore = settings.HotKey();
    std::string changes;
    try {
        changes = settings.ReadAgain();
    } catch (const std::exception& e) {
        LogEvent(std::string("settings read again: kept those in force: ") + e.what());
        return;
    }
    LogEvent("settings read again: " + (changes.empty() ? "no change" : changes));
    const std::shared_ptr<colFields> fields = link.colFields();
    if (fields->Count() == 1 && !settings.Field().empty()) {
        fields->Remove(1);
        fields->Add(settings.Field(), "");
    }
    if (arming_.HotKeyRegistered() &&
        (modBefore != settings.HotKeyMod() || keyBefore != settings.HotKey())) {
        arming_.EnableHotKey(false);
        arming_.EnableHotKey(true);
    }
}

void frmmain::Handle(Handler handler, const std::function<void()>& body) {
    RunHandler(handler, body);
}

}  // namespace vantrel
