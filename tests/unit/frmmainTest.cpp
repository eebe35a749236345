#include <gtest/gtest.h>

#include <algorithm>

#include "FakeMainWindow.h"
#include "app/frmmain.h"
#include "hotkey/modHotKey.h"
#include "link/clsAppLink.h"
#include "platform/Error.h"

namespace vantrel {
namespace {

using fake::FakeMainWindow;

constexpr std::int32_t kLeftDown = 513, kLeftUp = 514, kLeftDouble = 515, kRightDown = 516,
                       kRightUp = 517, kRightDouble = 518, kPlainMove = 512;

class frmmainTest : public ::testing::Test {
  protected:
    frmmainTest() { ResetAppLink(); }
    ~frmmainTest() override {
        // Leave no icon behind for the next test's tray module.
        if (form.Loaded())
            form.Unload();
        ResetAppLink();
    }

    // The hotkey as the platform holds it for the main window, if any.
    std::optional<fake::FakeHotKeys::Registration> Registered() const {
        for (const auto& [key, reg] : d.hotkeys.registered) {
            if (key.first == FakeMainWindow::kHandle)
                return reg;
        }
        return std::nullopt;
    }
    bool Subclassed() {
        return d.procs.Current(FakeMainWindow::kHandle) ==
               d.procs.AddressOf(&modHotKey::WindowProc);
    }
    std::vector<std::string> Calls(std::initializer_list<std::string> wanted) const {
        std::vector<std::string> out;
        for (const std::string& c : d.journal.calls) {
            if (std::find(wanted.begin(), wanted.end(), c) != wanted.end())
                out.push_back(c);
        }
        return out;
    }
    std::string Field1() { return AppLink().colFields()->Item(1)->Field(); }

    fake::FakeDesktop d;
    FakeMainWindow host{d};
    frmmain form{host};
};

TEST_F(frmmainTest, StartWithAStoredFieldRegistersItAndArmsAtOnce) {
    d.settings.Store("Field", "Invoice No");
    d.settings.Store("Hotkey", "120");
    d.settings.Store("HotKeyShift", "2");  // Ctrl
    form.Form_Load();

    EXPECT_EQ(
        Calls({"Tray.Add", "SettingsStore.Read", "WindowProcs.Install", "HotKeys.Register",
               "Host.ShowSettingsDialog", "Host.Hide"}),
        (std::vector<std::string>{"Tray.Add", "Host.Hide",  // the tray module hides first
                                  "SettingsStore.Read", "SettingsStore.Read", "SettingsStore.Read",
                                  "SettingsStore.Read", "SettingsStore.Read", "SettingsStore.Read",
                                  "WindowProcs.Install", "HotKeys.Register", "Host.Hide"}));
    ASSERT_EQ(AppLink().colFields()->Count(), 1);
    EXPECT_EQ(Field1(), "Invoice No");
    EXPECT_EQ(AppLink().ProcedureType(), 2);
    ASSERT_TRUE(Registered());
    EXPECT_EQ(Registered()->vk, 120);
    EXPECT_EQ(Registered()->modifiers, 2);
    EXPECT_TRUE(form.HotKey().HotKeyRegistered());
    EXPECT_TRUE(Subclassed());
    EXPECT_TRUE(d.boxes.shown.empty());
}

TEST_F(frmmainTest, FirstStartOpensTheDialogThenAddsTheFieldAndArms) {
    host.chosen = MainCommand::Settings;
    host.whileSettingsOpen = [&] {
        if (d.journal.CountOf("Host.ShowSettingsDialog") > 1)
            return;  // brought forward
        EXPECT_FALSE(Registered());
        EXPECT_EQ(AppLink().colFields()->Count(), 0);
        EXPECT_EQ(d.journal.CountOf("Host.Hide"), 1);  // only the tray module's
        // Settings from the tray while the dialog is open opens no second one.
        form.Form_MouseMove(kRightUp);
        EXPECT_FALSE(Registered());
        EXPECT_EQ(AppLink().colFields()->Count(), 0);
    };
    host.answer = [](SettingsValues values) {  // the user's OK
        values.field = "Amount";
        return std::optional(values);
    };
    form.Form_Load();

    EXPECT_EQ(d.journal.CountOf("Host.ShowSettingsDialog"), 2);
    ASSERT_EQ(AppLink().colFields()->Count(), 1);
    EXPECT_EQ(Field1(), "Amount");
    ASSERT_TRUE(Registered());
    EXPECT_EQ(Registered()->vk, 122);  // F11, nothing stored
    EXPECT_EQ(Registered()->modifiers, 0);
    EXPECT_EQ(d.journal.calls.back(), "Host.Hide");
    EXPECT_EQ(AppLink().ProcedureType(), 2);
}

TEST_F(frmmainTest, FirstStartCancelledStillAddsAnUnnamedFieldAndArms) {
    form.Form_Load();
    ASSERT_EQ(AppLink().colFields()->Count(), 1);
    EXPECT_EQ(Field1(), "");
    EXPECT_TRUE(Registered());
}

TEST_F(frmmainTest, SettingsCommandReplacesFieldOneAndRearmsWithTheNewKey) {
    d.settings.Store("Field", "Invoice No");
    form.Form_Load();
    ASSERT_TRUE(Registered());
    const auto firstId = d.hotkeys.registered.begin()->first.second;

    host.whileSettingsOpen = [&] {
        EXPECT_FALSE(Registered());  // released while the dialog is open
        EXPECT_FALSE(Subclassed());
    };
    host.answer = [](SettingsValues values) {
        EXPECT_EQ(values.field, "Invoice No") << "the dialog shows the settings in force";
        values.field = "Date";
        values.hotKey = 119;     // F8
        values.hotKeyShift = 5;  // Alt+Shift as key events report it
        return std::optional(values);
    };
    form.Command(MainCommand::Settings);
    EXPECT_EQ(d.settings.values.at(fake::FakeSettingsStore::Key("Field")), "Date")
        << "what the dialog gives back is saved";

    ASSERT_EQ(AppLink().colFields()->Count(), 1);
    EXPECT_EQ(Field1(), "Date");
    ASSERT_TRUE(Registered());
    EXPECT_EQ(Registered()->vk, 119);
    EXPECT_EQ(Registered()->modifiers, 5);  // Alt (1) + Shift (4) for registration
    EXPECT_EQ(d.hotkeys.registered.begin()->first.second, firstId);
    EXPECT_TRUE(Subclassed());

    // The button runs the same command; a cancelled dialog changes nothing but
    // still gives a fresh field 1.
    const auto before = AppLink().colFields()->Item(1);
    host.whileSettingsOpen = nullptr;
    host.answer = nullptr;
    form.Command(MainCommand::cmdConfigure);
    EXPECT_EQ(AppLink().colFields()->Count(), 1);
    EXPECT_NE(AppLink().colFields()->Item(1), before);
    EXPECT_EQ(Field1(), "Date");
    EXPECT_EQ(Registered()->vk, 119);
}

TEST_F(frmmainTest, AFailingSaveIsShownAndTheDialogComesBackWithTheEntries) {
    d.settings.Store("Field", "Invoice No");
    form.Form_Load();
    d.settings.refuseWriteOf = "Hotkey";
    host.answer = [&](SettingsValues values) -> std::optional<SettingsValues> {
        if (host.shownValues.size() == 1) {
            values.field = "Date";
            values.hotKey = 116;
            return values;
        }
        EXPECT_EQ(values.field, "Date") << "the entries come back";
        d.settings.refuseWriteOf.reset();
        return values;  // OK again
    };
    form.Command(MainCommand::Settings);
    ASSERT_EQ(d.boxes.shown.size(), 1u);
    EXPECT_EQ(d.boxes.shown[0].text, "error in frmSettings.cmdOK_Click: Access is denied.");
    EXPECT_EQ(d.boxes.shown[0].modality, Modality::Application);
    EXPECT_EQ(host.shownValues.size(), 2u);
    EXPECT_EQ(d.settings.values.at(fake::FakeSettingsStore::Key("Hotkey")), "116");
    EXPECT_EQ(Registered()->vk, 116);
    EXPECT_EQ(Field1(), "Date");
}

TEST_F(frmmainTest, SettingsCommandKeepsExtraFieldsAndAddsOne) {
    d.settings.Store("Field", "A");
    form.Form_Load();
    AppLink().colFields()->Add("B", "");
    form.Command(MainCommand::Settings);
    // Only a single field is replaced; with two the new one joins them.
    EXPECT_EQ(AppLink().colFields()->Count(), 3);
}

TEST_F(frmmainTest, OnlyTheRightButtonReleasedOpensTheMenu) {
    d.settings.Store("Field", "A");
    form.Form_Load();
    for (const std::int32_t message :
         {kPlainMove, kLeftDown, kLeftUp, kLeftDouble, kRightDown, kRightDouble, 0, -1}) {
        form.Form_MouseMove(message);
    }
    EXPECT_EQ(d.journal.CountOf("Host.PopupOptionsMenu"), 0);
    EXPECT_EQ(d.journal.CountOf("Host.SetForeground"), 0);

    form.Form_MouseMove(kRightUp);
    EXPECT_EQ(Calls({"Host.SetForeground", "Host.PopupOptionsMenu"}),
              (std::vector<std::string>{"Host.SetForeground", "Host.PopupOptionsMenu"}));
    form.Form_MouseMove(kRightUp);  // dismissed: the next click opens it again
    EXPECT_EQ(d.journal.CountOf("Host.PopupOptionsMenu"), 2);
}

TEST_F(frmmainTest, RightClickWhileTheMenuOrItsCommandIsOpenIsIgnored) {
    d.settings.Store("Field", "A");
    form.Form_Load();
    host.whileMenuOpen = [&] { form.Form_MouseMove(kRightUp); };
    host.chosen = MainCommand::Settings;
    host.whileSettingsOpen = [&] {
        host.whileMenuOpen = nullptr;
        form.Form_MouseMove(kRightUp);
    };
    form.Form_MouseMove(kRightUp);
    EXPECT_EQ(d.journal.CountOf("Host.PopupOptionsMenu"), 1);
    EXPECT_EQ(d.journal.CountOf("Host.ShowSettingsDialog"), 1);

    // The command chosen ran before the menu call ended; afterwards the menu opens again.
    host.chosen.reset();
    form.Form_MouseMove(kRightUp);
    EXPECT_EQ(d.journal.CountOf("Host.PopupOptionsMenu"), 2);
}

TEST_F(frmmainTest, FailingMenuCommandIsShownAndLeavesTheMenuUsable) {
    d.settings.Store("Field", "A");
    form.Form_Load();
    host.chosen = MainCommand::Settings;
    d.journal.Fail("Host.ShowSettingsDialog");
    form.Form_MouseMove(kRightUp);
    ASSERT_EQ(d.boxes.shown.size(), 1u);
    EXPECT_EQ(d.boxes.shown[0].text,
              "error in frmmain.Settings_Click: Host.ShowSettingsDialog failed");
    EXPECT_EQ(d.boxes.shown[0].caption, "Vantrel");
    EXPECT_EQ(d.boxes.shown[0].modality, Modality::Application);

    d.journal.Heal();
    host.chosen.reset();
    form.Form_MouseMove(kRightUp);
    EXPECT_EQ(d.journal.CountOf("Host.PopupOptionsMenu"), 2);
}

TEST_F(frmmainTest, ExitDisarmsRemovesTheIconAndThenDestroysTheWindow) {
    d.settings.Store("Field", "A");
    form.Form_Load();
    host.chosen = MainCommand::mnuExit;
    form.Form_MouseMove(kRightUp);

    EXPECT_FALSE(Registered());
    EXPECT_FALSE(form.HotKey().HotKeyRegistered());
    EXPECT_FALSE(Subclassed());
    ASSERT_EQ(d.tray.removed.size(), 1u);
    EXPECT_EQ(d.tray.removed[0].window, FakeMainWindow::kHandle);
    EXPECT_EQ(d.tray.removed[0].id, 1u);
    EXPECT_EQ(Calls({"HotKeys.Unregister", "Tray.Remove", "Host.Destroy"}),
              (std::vector<std::string>{"HotKeys.Unregister", "Tray.Remove", "Host.Destroy"}));
    EXPECT_FALSE(form.Loaded());

    form.Command(MainCommand::cmdExit);  // already gone: nothing more
    EXPECT_EQ(d.journal.CountOf("Host.Destroy"), 1);
    EXPECT_EQ(d.tray.removed.size(), 1u);
}

// A press waiting for Ctrl when the settings are opened, or the program is
// left, was made with what no longer holds: nothing of it happens afterwards,
// and the next press after the settings is a press like any other.
TEST_F(frmmainTest, SettingsOrExitDuringAPressLeaveNothingOfIt) {
    d.settings.Store("Field", "A");
    d.settings.Store("SourceWindow", "Billing");
    d.windows.titles = {"Billing", "Document Center"};
    d.keyboard.source = {"A-17 line", "A-17"};
    d.files.folders.insert(fake::FakeFiles::Key("c:\\program files\\tallowin\\scripts"));
    form.Form_Load();
    const auto press = [&] {
        d.procs.CallProc(d.procs.Current(FakeMainWindow::kHandle), FakeMainWindow::kHandle,
                         kWmHotKey, 1, 0);
    };
    for (const MainCommand command : {MainCommand::Settings, MainCommand::mnuExit}) {
        d.keyboard.Hold(kVkControl, 20);
        d.loop.Post([&] { form.Command(command); });
        press();
        EXPECT_TRUE(d.keyboard.sent.empty());
        EXPECT_TRUE(d.processes.started.empty());
        if (command == MainCommand::Settings) {
            press();
            EXPECT_EQ(d.processes.started.size(), 1u);
            d.processes.started.clear();
            d.keyboard.sent.clear();
        }
    }
}

TEST_F(frmmainTest, UnloadIsNeverCancelledByAFailingHandler) {
    d.settings.Store("Field", "A");
    form.Form_Load();
    d.journal.Fail("Tray.Remove");
    EXPECT_THROW(form.Unload(), Error);
    EXPECT_FALSE(form.Loaded());
    EXPECT_EQ(d.journal.CountOf("Host.Destroy"), 1);
}

TEST_F(frmmainTest, ExitWhileTheStartupDialogIsOpenArmsNothingAfterwards) {
    host.chosen = MainCommand::mnuExit;
    host.whileSettingsOpen = [&] { form.Form_MouseMove(kRightUp); };
    form.Form_Load();
    EXPECT_EQ(d.tray.removed.size(), 1u);
    EXPECT_EQ(d.hotkeys.registerCalls, 0);
    EXPECT_FALSE(form.Loaded());
}

TEST_F(frmmainTest, AboutKeepsTheHotkeyArmedAndMinimizeAsksTheWindow) {
    d.settings.Store("Field", "A");
    form.Form_Load();
    host.chosen = MainCommand::mnuAbout;
    form.Form_MouseMove(kRightUp);
    EXPECT_EQ(d.journal.CountOf("Host.ShowAbout"), 1);
    EXPECT_TRUE(Registered());
    form.Command(MainCommand::cmdMinimize);
    EXPECT_EQ(d.journal.CountOf("Host.Minimize"), 1);
}

TEST_F(frmmainTest, RecreatedTaskBarGetsTheSameIconAgain) {
    d.settings.Store("Field", "A");
    form.Form_Load();
    form.TaskbarCreated();
    ASSERT_EQ(d.tray.added.size(), 2u);
    EXPECT_EQ(d.tray.added[1].window, FakeMainWindow::kHandle);
    EXPECT_EQ(d.tray.added[1].tip, d.tray.added[0].tip);
}

TEST_F(frmmainTest, HandlerFailureNamesTheHandler) {
    form.Handle(Handler::frmmain_Form_Unload, [] { throw Error("Access is denied."); });
    ASSERT_EQ(d.boxes.shown.size(), 1u);
    EXPECT_EQ(d.boxes.shown[0].text, "error in frmmain.Form_Unload: Access is denied.");
    EXPECT_EQ(HandlerName(HandlerOf(MainCommand::cmdConfigure)), "frmmain.cmdConfigure_Click");
    EXPECT_EQ(HandlerName(HandlerOf(MainCommand::mnuAbout)), "frmmain.mnuAbout_Click");
}

}  // namespace
}  // namespace vantrel
