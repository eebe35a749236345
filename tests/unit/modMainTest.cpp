#include <gtest/gtest.h>

#include "FakeMainWindow.h"
#include "app/frmmain.h"
#include "app/modMain.h"
#include "link/clsAppLink.h"
#include "platform/Error.h"

namespace vantrel {
namespace {

using fake::FakeMainWindow;

class modMainTest : public ::testing::Test {
  protected:
    modMainTest() { ResetAppLink(); }
    ~modMainTest() override {
        if (form.Loaded())
            form.Unload();
        ResetAppLink();
    }
    void RunMain() {
        Main([this]() -> frmmain& { return form; });
    }
    bool Armed() const { return !d.hotkeys.registered.empty(); }

    fake::FakeDesktop d;
    FakeMainWindow host{d};
    frmmain form{host};
};

TEST_F(modMainTest, CleanStartShowsNothing) {
    d.settings.Store("Field", "Invoice No");
    RunMain();
    EXPECT_TRUE(d.boxes.shown.empty());
    EXPECT_TRUE(form.Loaded());
    EXPECT_TRUE(Armed());
}

TEST_F(modMainTest, UnreadableSettingsAreReportedAndCanBeRepairedFromTheTray) {
    d.settings.Store("Field", "Invoice No");
    d.settings.Store("Hotkey", "F11");
    RunMain();

    ASSERT_EQ(d.boxes.shown.size(), 1u);
    EXPECT_TRUE(d.boxes.shown[0].text.starts_with("error in Main: ")) << d.boxes.shown[0].text;
    EXPECT_NE(d.boxes.shown[0].text.find("Hotkey"), std::string::npos) << d.boxes.shown[0].text;
    EXPECT_EQ(d.boxes.shown[0].caption, "Vantrel");
    EXPECT_EQ(d.boxes.shown[0].modality, Modality::System);
    // The window and its icon stay, unarmed, so the tray menu can reach the dialog.
    EXPECT_TRUE(form.Loaded());
    EXPECT_EQ(d.tray.added.size(), 1u);
    EXPECT_TRUE(d.tray.removed.empty());
    EXPECT_FALSE(Armed());
    EXPECT_EQ(AppLink().colFields()->Count(), 0);

    host.chosen = MainCommand::Settings;
    host.answer = [](SettingsValues values) {  // the user's OK with valid values
        values.hotKey = 122;
        values.hotKeyShift = 0;
        return std::optional(values);
    };
    form.Form_MouseMove(517);
    ASSERT_EQ(AppLink().colFields()->Count(), 1);
    EXPECT_EQ(AppLink().colFields()->Item(1)->Field(), "Invoice No");  // read before the failure
    EXPECT_TRUE(Armed());
    EXPECT_EQ(AppLink().ProcedureType(), 2);  // indexes like a normal run
    EXPECT_EQ(d.boxes.shown.size(), 1u);
}

// A failed read leaves the values after the bad key at nothing (hotkey 0); the
// dialog must instead offer what could be read and defaults for the rest, so a
// plain OK in the repair gives a working hotkey.
TEST_F(modMainTest, RepairOffersWhatCanBeReadAndDefaultsForTheRest) {
    d.settings.nonText.insert(fake::FakeSettingsStore::Key("SourceWindow"));
    d.settings.Store("Field", "Invoice No");
    d.settings.Store("HotKeyShift", "6");
    d.settings.Store("SaveNext", "maybe");
    RunMain();
    ASSERT_EQ(d.boxes.shown.size(), 1u);
    const clsSettings& s = AppLink().oSettings();
    EXPECT_EQ(s.SourceAppTitle(), "");
    EXPECT_EQ(s.Field(), "Invoice No");
    EXPECT_EQ(s.HotKey(), 122);
    EXPECT_EQ(s.HotKeyShift(), 6);
    EXPECT_EQ(s.HotKeyMod(), 3);
    EXPECT_FALSE(s.savenext());
    EXPECT_TRUE(d.settings.nonText.count(fake::FakeSettingsStore::Key("SourceWindow")))
        << "nothing is written until the user confirms";
}

TEST_F(modMainTest, FailureInTheStartupDialogIsReported) {
    d.journal.Fail("Host.ShowSettingsDialog");
    RunMain();
    ASSERT_EQ(d.boxes.shown.size(), 1u);
    EXPECT_EQ(d.boxes.shown[0].text, "error in Main: Host.ShowSettingsDialog failed");
    EXPECT_TRUE(form.Loaded());
    EXPECT_FALSE(Armed());
}

TEST_F(modMainTest, WithoutAnIconTheWindowGoesAfterTheBox) {
    d.journal.Fail("Tray.Add");
    RunMain();
    ASSERT_EQ(d.boxes.shown.size(), 1u);
    EXPECT_EQ(d.boxes.shown[0].text, "error in Main: Tray.Add failed");
    EXPECT_FALSE(form.Loaded());
    EXPECT_EQ(d.journal.CountOf("Host.Destroy"), 1);
    EXPECT_EQ(d.journal.CountOf("SettingsStore.Read"), 0);
}

TEST_F(modMainTest, WindowThatCannotBeCreatedIsReported) {
    Main([]() -> frmmain& { throw Error("CreateWindowExW failed: Not enough memory."); });
    ASSERT_EQ(d.boxes.shown.size(), 1u);
    EXPECT_EQ(d.boxes.shown[0].text, "error in Main: CreateWindowExW failed: Not enough memory.");
    EXPECT_EQ(d.boxes.shown[0].modality, Modality::System);
    EXPECT_TRUE(d.tray.added.empty());
}

}  // namespace
}  // namespace vantrel
