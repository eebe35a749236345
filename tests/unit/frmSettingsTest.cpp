#include <gtest/gtest.h>

#include "fake/FakeDesktop.h"
#include "link/clsAppLink.h"
#include "settings/frmSettings.h"

namespace vantrel {
namespace {

constexpr auto Key = &fake::FakeSettingsStore::Key;

class frmSettingsTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetAppLink(); }
    void TearDown() override { ResetAppLink(); }

    std::string Stored(const char* key) { return d.settings.values.at(Key(key)); }
    // Start-up's read of the settings, then the dialog's load.
    frmSettingsView Open() {
        AppLink().oSettings().GetSettings();
        d.journal.calls.clear();
        return form.Form_Load(AppLink().oSettings().Values());
    }
    // OK, and the save that the dialog's caller does with what it gives back.
    static bool Ok(frmSettings& dialog, const frmSettingsView& v) {
        const std::optional<SettingsValues> confirmed = dialog.cmdOK_Click(v);
        if (!confirmed)
            return false;
        AppLink().oSettings().Assign(*confirmed);
        return AppLink().oSettings().SaveSettings();
    }
    bool Ok(const frmSettingsView& v) { return Ok(form, v); }
    int Writes() const { return d.journal.CountOf("SettingsStore.Write"); }

    fake::FakeDesktop d;
    frmSettings form;
};

TEST_F(frmSettingsTest, FirstRunShowsDefaultsAndOkSavesThem) {
    const frmSettingsView v = Open();
    EXPECT_EQ(v.caption, "Vantrel Settings");
    EXPECT_EQ(v.txtHotKey, " F11");
    EXPECT_EQ(v.txtSourceWindow, "");
    EXPECT_EQ(v.txtIndexField, "last_name");
    EXPECT_FALSE(v.chkSaveNext);
    EXPECT_EQ(Writes(), 0) << "loading writes nothing";

    ASSERT_TRUE(Ok(v));
    EXPECT_EQ(Stored("SourceWindow"), "");
    EXPECT_EQ(Stored("Field"), "last_name");
    EXPECT_EQ(Stored("AppName"), "");
    EXPECT_EQ(Stored("Hotkey"), "122");
    EXPECT_EQ(Stored("HotKeyShift"), "0");
    EXPECT_EQ(Stored("SaveNext"), "False");
    EXPECT_TRUE(d.boxes.shown.empty());
}

TEST_F(frmSettingsTest, StoredValuesFillTheControls) {
    d.settings.Store("SourceWindow", "Kundenübersicht");
    d.settings.Store("Field", "acct_no");
    d.settings.Store("AppName", "AP");
    d.settings.Store("Hotkey", "116");
    d.settings.Store("HotKeyShift", "6");
    d.settings.Store("SaveNext", "True");
    const frmSettingsView v = Open();
    EXPECT_EQ(v.txtSourceWindow, "Kundenübersicht");
    EXPECT_EQ(v.txtIndexField, "acct_no");
    EXPECT_EQ(v.txtHotKey, "Ctrl-Alt F5");
    EXPECT_TRUE(v.chkSaveNext);
    EXPECT_EQ(form.CapturedKeyCode(), 116);
    EXPECT_EQ(form.CapturedShift(), 6);
}

TEST_F(frmSettingsTest, WhichKeyPressesAreTaken) {
    struct Row {
        int key, shift;
        const char* shown;  // nullptr: not taken
    };
    // clang-format off
    const Row kRows[] = {
        {116, 6, "Ctrl-Alt F5"},   {65, 4, "Alt A"},        {123, 0, " F12"},
        {112, 1, "Shift F1"},      {135, 7, "Ctrl-Alt-Shift F24"},
        {48, 2, "Ctrl 0"},         {90, 4, "Alt Z"},        {65, 3, "Ctrl-Shift A"},
        {58, 2, "Ctrl "},          {64, 4, "Alt "},         {60, 6, "Ctrl-Alt "},
        {65, 1, nullptr},          {65, 0, nullptr},        {17, 2, nullptr},
        {16, 1, nullptr},          {18, 4, nullptr},        {8, 0, nullptr},
        {8, 2, nullptr},           {47, 2, nullptr},        {91, 2, nullptr},
        {111, 0, nullptr},         {136, 0, nullptr},       {13, 6, nullptr},
    };
    // clang-format on
    for (const Row& r : kRows) {
        SCOPED_TRACE(testing::Message() << "key " << r.key << " shift " << r.shift);
        ResetAppLink();
        AppLink().oSettings().GetSettings();
        frmSettings f;
        f.Form_Load(AppLink().oSettings().Values());
        const std::optional<std::string> shown = f.txtHotKey_KeyDown(r.key, r.shift);
        if (r.shown) {
            EXPECT_EQ(shown, std::string(r.shown));
            EXPECT_EQ(f.CapturedKeyCode(), r.key);
            EXPECT_EQ(f.CapturedShift(), r.shift);
        } else {
            EXPECT_EQ(shown, std::nullopt);
            EXPECT_EQ(f.CapturedKeyCode(), 122) << "a key the box does not show is not captured";
            EXPECT_EQ(f.CapturedShift(), 0);
        }
    }
}

TEST_F(frmSettingsTest, StateBeyondSixteenBitsIsNotTaken) {
    // Saved as 16 bits, 0x10007 would become 7: the box would not show what OK saves.
    Open();
    for (const int shift : {0x10007, -65529, 32768, -32769}) {
        SCOPED_TRACE(shift);
        EXPECT_EQ(form.txtHotKey_KeyDown(112, shift), std::nullopt);
        EXPECT_EQ(form.txtHotKey_KeyDown(65, shift), std::nullopt);
        EXPECT_EQ(form.CapturedKeyCode(), 122);
        EXPECT_EQ(form.CapturedShift(), 0);
    }
    EXPECT_EQ(form.txtHotKey_KeyDown(112, 32767), "Shift 32767 F1");
    EXPECT_EQ(form.txtHotKey_KeyDown(112, -32768), "Shift -32768 F1");
    EXPECT_EQ(form.CapturedShift(), -32768);
}

TEST_F(frmSettingsTest, OkSavesWhatTheBoxLastShowed) {
    frmSettingsView v = Open();
    v.txtHotKey = *form.txtHotKey_KeyDown(116, 6);
    EXPECT_FALSE(form.txtHotKey_KeyDown(17, 2));  // Ctrl alone
    EXPECT_FALSE(form.txtHotKey_KeyDown(65, 1));  // Shift+A
    EXPECT_FALSE(form.txtHotKey_KeyDown(8, 0));   // Backspace
    EXPECT_EQ(v.txtHotKey, "Ctrl-Alt F5");
    ASSERT_TRUE(Ok(v));
    const clsSettings& s = AppLink().oSettings();
    EXPECT_EQ(s.HotKey(), 116);
    EXPECT_EQ(s.HotKeyShift(), 6);
    EXPECT_EQ(s.HotKeyMod(), 3);
    EXPECT_EQ(Stored("Hotkey"), "116");
    EXPECT_EQ(Stored("HotKeyShift"), "6");
}

TEST_F(frmSettingsTest, KeyDownLetsPendingMessagesRunFirst) {
    Open();
    bool ranBeforeCapture = false;
    d.loop.Post([&] { ranBeforeCapture = form.CapturedKeyCode() == 122; });
    form.txtHotKey_KeyDown(65, 4);
    EXPECT_TRUE(ranBeforeCapture);
    EXPECT_EQ(form.CapturedKeyCode(), 65);
}

TEST_F(frmSettingsTest, OkWritesEveryEditedValueInStoreOrder) {
    d.settings.Store("AppName", "AP");
    frmSettingsView v = Open();
    v.txtSourceWindow = "Kunden; \"x\"";
    v.txtIndexField = "acct_no";
    v.chkSaveNext = true;
    form.txtHotKey_KeyDown(65, 4);
    ASSERT_TRUE(Ok(v));

    const clsSettings& s = AppLink().oSettings();
    EXPECT_EQ(s.SourceAppTitle(), "Kunden; \"x\"");
    EXPECT_EQ(s.Field(), "acct_no");
    EXPECT_EQ(s.AppName(), "AP") << "the dialog never edits AppName";
    EXPECT_TRUE(s.savenext());
    EXPECT_EQ(s.HotKeyMod(), 1);

    const std::vector<std::string> expected(6, "SettingsStore.Write");
    EXPECT_EQ(d.journal.calls, expected);
    EXPECT_EQ(d.settings.writtenKeys,
              (std::vector<std::string>{"SourceWindow", "Field", "AppName", "Hotkey", "HotKeyShift",
                                        "SaveNext"}));
    EXPECT_EQ(Stored("SourceWindow"), "Kunden; \"x\"");
    EXPECT_EQ(Stored("Field"), "acct_no");
    EXPECT_EQ(Stored("AppName"), "AP");
    EXPECT_EQ(Stored("Hotkey"), "65");
    EXPECT_EQ(Stored("HotKeyShift"), "4");
    EXPECT_EQ(Stored("SaveNext"), "True");

    v.chkSaveNext = false;
    ASSERT_TRUE(Ok(v));
    EXPECT_EQ(Stored("SaveNext"), "False");
}

TEST_F(frmSettingsTest, EmptyIndexFieldIsRefusedWithTheMessage) {
    d.settings.Store("Field", "acct_no");
    frmSettingsView v = Open();
    v.txtIndexField = "";
    v.txtSourceWindow = "changed";
    form.txtHotKey_KeyDown(116, 6);

    EXPECT_FALSE(Ok(v));
    ASSERT_EQ(d.boxes.shown.size(), 1u);
    EXPECT_EQ(d.boxes.shown[0].text,
              "error: cannot save settings.  Please enter a field to search.");
    EXPECT_EQ(d.boxes.shown[0].caption, "Vantrel");
    EXPECT_EQ(d.boxes.shown[0].modality, Modality::Application);
    EXPECT_EQ(Writes(), 0);
    const clsSettings& s = AppLink().oSettings();
    EXPECT_EQ(s.Field(), "acct_no");
    EXPECT_EQ(s.SourceAppTitle(), "");
    EXPECT_EQ(s.HotKey(), 122);

    // A name the script could not carry exactly; a double quote it can.
    for (const char* name : {"acct\r\nno", "acct\tno", "acct\x1Bno", "acct\x1Fno", "acct\x7Fno",
                             "acct \xEF\xBC\x82no\xEF\xBC\x82"}) {
        d.boxes.shown.clear();
        v.txtIndexField = name;
        EXPECT_FALSE(Ok(v)) << name;
        ASSERT_EQ(d.boxes.shown.size(), 1u);
        EXPECT_EQ(d.boxes.shown[0].text,
                  "error: cannot save settings.  Please enter a field name without line breaks or "
                  "tabs, using only characters of this computer's language settings.");
        EXPECT_EQ(Writes(), 0);
    }

    v.txtIndexField = "acct \"no\"";  // the dialog stays open; the next OK works
    EXPECT_TRUE(Ok(v));
    EXPECT_EQ(s.HotKey(), 116);
}

TEST_F(frmSettingsTest, CancelChangesNothing) {
    d.settings.Store("Field", "acct_no");
    const frmSettingsView v = Open();
    form.txtHotKey_KeyDown(116, 6);
    form.txtHotKey_KeyDown(65, 4);
    EXPECT_TRUE(form.cmdCancel_Click());
    const clsSettings& s = AppLink().oSettings();
    EXPECT_EQ(s.HotKey(), 122);
    EXPECT_EQ(s.HotKeyShift(), 0);
    EXPECT_EQ(Writes(), 0);
    EXPECT_TRUE(d.boxes.shown.empty());
    (void)v;
}

TEST_F(frmSettingsTest, StoredValuesOutsideTheTablesOpenAndSurviveOk) {
    struct Row {
        const char* hotkey;
        const char* shift;
        const char* shown;
    };
    // clang-format off
    const Row kRows[] = {
        {"300",    "12",     "Shift 12 Key 300"},
        {"-5",     "-1",     "Shift -1 Key -5"},
        {"136",    "8",      " Key 136"},
        {"32767",  "-32768", "Shift -32768 Key 32767"},
        {"17",     "2",      "Ctrl "},
    };
    // clang-format on
    for (const Row& r : kRows) {
        SCOPED_TRACE(r.hotkey);
        ResetAppLink();
        d.settings.Store("Hotkey", r.hotkey);
        d.settings.Store("HotKeyShift", r.shift);
        frmSettings f;
        AppLink().oSettings().GetSettings();
        const frmSettingsView v = f.Form_Load(AppLink().oSettings().Values());
        EXPECT_EQ(v.txtHotKey, r.shown);
        ASSERT_TRUE(Ok(f, v));
        EXPECT_EQ(Stored("Hotkey"), r.hotkey);
        EXPECT_EQ(Stored("HotKeyShift"), r.shift);
    }
}

}  // namespace
}  // namespace vantrel
