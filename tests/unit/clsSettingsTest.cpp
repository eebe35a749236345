#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fake/FakeDesktop.h"
#include "platform/Error.h"
#include "settings/clsSettings.h"

namespace vantrel {
namespace {

constexpr auto Key = &fake::FakeSettingsStore::Key;

TEST(clsSettings, NewObjectHoldsInitialValues) {
    clsSettings s;
    EXPECT_EQ(s.SourceAppTitle(), "");
    EXPECT_EQ(s.AppName(), "");
    EXPECT_EQ(s.Field(), "");
    EXPECT_EQ(s.HotKey(), 0);
    EXPECT_EQ(s.HotKeyShift(), 0);
    EXPECT_EQ(s.HotKeyMod(), 0);
    EXPECT_FALSE(s.savenext());
}

TEST(clsSettings, HotKeyModReversesTheThreeLowBits) {
    struct Row {
        std::int16_t shift, mod;
    };
    // clang-format off
    constexpr Row kRows[] = {{0, 0}, {1, 4}, {2, 2}, {3, 6}, {4, 1}, {5, 5}, {6, 3}, {7, 7},
                             {8, 0}, {-1, 7}, {15, 7}, {-32768, 0}, {32767, 7}, {-8, 0}};
    // clang-format on
    clsSettings s;
    for (const Row& r : kRows) {
        s.HotKeyShift(r.shift);
        EXPECT_EQ(s.HotKeyMod(), r.mod) << "HotKeyShift " << r.shift;
        EXPECT_EQ(s.HotKeyShift(), r.shift);
    }
}

TEST(clsSettings, BinaryStringAtTheExtremes) {
    EXPECT_EQ(clsSettings::ConvertLongToBinaryString(0), std::string(32, '0'));
    EXPECT_EQ(clsSettings::ConvertLongToBinaryString(5), std::string(29, '0') + "101");
    EXPECT_EQ(clsSettings::ConvertLongToBinaryString(-1), std::string(32, '1'));
    EXPECT_EQ(clsSettings::ConvertLongToBinaryString(INT32_MIN), "1" + std::string(31, '0'));
    EXPECT_EQ(clsSettings::ConvertLongToBinaryString(INT32_MAX), "0" + std::string(31, '1'));
}

TEST(clsSettings, GrabTypeAlwaysReadsCursor) {
    clsSettings s;
    s.GrabType("Mouse");
    EXPECT_EQ(s.GrabType(), "Cursor");
}

TEST(clsSettings, EmptyStoreGivesDefaults) {
    fake::FakeDesktop d;
    clsSettings s;
    s.HotKeyShift(3);
    s.Field("old");
    EXPECT_TRUE(s.GetSettings());
    EXPECT_EQ(s.SourceAppTitle(), "");
    EXPECT_EQ(s.Field(), "");
    EXPECT_EQ(s.AppName(), "");
    EXPECT_EQ(s.HotKey(), 122);
    EXPECT_EQ(s.HotKeyShift(), 0);
    EXPECT_EQ(s.HotKeyMod(), 0);
    EXPECT_FALSE(s.savenext());
    EXPECT_EQ(s.GrabType(), "Cursor");
    EXPECT_TRUE(d.settings.values.empty()) << "reading must not write";
    EXPECT_EQ(d.log.lines, std::vector<std::string>{
                               "settings loaded: hotkey F11, source window \"\", index field "
                               "\"\", application \"\", Auto Save/Next off"});
}

TEST(clsSettings, SaveThenGetRoundTripsAndWritesTheStoredForms) {
    fake::FakeDesktop d;
    clsSettings s;
    s.SourceAppTitle("Kundenübersicht");
    s.Field("Invoice \"No\"");
    s.AppName("AP");
    s.HotKey(-5);
    s.HotKeyShift(6);
    s.savenext(true);
    EXPECT_TRUE(s.SaveSettings());
    EXPECT_EQ(d.settings.values[Key("SourceWindow")], "Kundenübersicht");
    EXPECT_EQ(d.settings.values[Key("Hotkey")], "-5");
    EXPECT_EQ(d.settings.values[Key("HotKeyShift")], "6");
    EXPECT_EQ(d.settings.values[Key("SaveNext")], "True");
    EXPECT_EQ(d.settings.writtenKeys,
              (std::vector<std::string>{"SourceWindow", "Field", "AppName", "Hotkey", "HotKeyShift",
                                        "SaveNext"}));
    EXPECT_EQ(d.journal.CountOf("SettingsStore.Write"), 6);

    clsSettings t;
    EXPECT_TRUE(t.GetSettings());
    EXPECT_EQ(t.SourceAppTitle(), "Kundenübersicht");
    EXPECT_EQ(t.Field(), "Invoice \"No\"");
    EXPECT_EQ(t.AppName(), "AP");
    EXPECT_EQ(t.HotKey(), -5);
    EXPECT_EQ(t.HotKeyShift(), 6);
    EXPECT_EQ(t.HotKeyMod(), 3);
    EXPECT_TRUE(t.savenext());
    EXPECT_EQ(d.log.lines.back(),
              "settings loaded: hotkey Ctrl-Alt Key -5, source window \"Kundenübersicht\", "
              "index field \"Invoice \"No\"\", application \"AP\", Auto Save/Next on");

    // A huge stored text is cut in the log, between two characters.
    d.settings.Store("AppName", std::string(39, 'x') + "ü" + std::string(100000, 'y'));
    EXPECT_TRUE(t.GetSettings());
    EXPECT_EQ(d.log.lines.back(),
              "settings loaded: hotkey Ctrl-Alt Key -5, source window \"Kundenübersicht\", "
              "index field \"Invoice \"No\"\", application \"" +
                  std::string(39, 'x') + "...\", Auto Save/Next on");

    t.savenext(false);
    t.SaveSettings();
    EXPECT_EQ(d.settings.values[Key("SaveNext")], "False");
}

TEST(clsSettings, AFailingKeyKeepsEarlierKeysAndLeavesLaterOnes) {
    fake::FakeDesktop d;
    d.settings.Store("SourceWindow", "Billing");
    d.settings.Store("Field", "InvoiceNo");
    d.settings.Store("AppName", "AP");
    d.settings.Store("Hotkey", "abc");
    d.settings.Store("HotKeyShift", "6");
    d.settings.Store("SaveNext", "True");
    clsSettings s;
    s.HotKey(116);
    s.HotKeyShift(1);
    try {
        s.GetSettings();
        FAIL() << "letters in Hotkey must fail";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("Hotkey"), std::string::npos) << e.what();
    }
    EXPECT_EQ(s.SourceAppTitle(), "Billing");
    EXPECT_EQ(s.Field(), "InvoiceNo");
    EXPECT_EQ(s.AppName(), "AP");
    EXPECT_EQ(s.HotKey(), 116);
    EXPECT_EQ(s.HotKeyShift(), 1);
    EXPECT_EQ(s.HotKeyMod(), 4);
    EXPECT_FALSE(s.savenext());
}

// Key by key: the user's value, else the machine's, else the default.
TEST(clsSettings, EachKeyIsTheUsersElseTheMachinesElseTheDefault) {
    fake::FakeDesktop d;
    const auto machine = [&](const char* key, const char* value) {
        d.settings.machineValues[Key(key)] = value;
    };
    d.settings.Store("Field", "user_field");
    d.settings.Store("Hotkey", "120");
    machine("Field", "office_field");
    machine("Hotkey", "junk");  // under the user's value: never read
    machine("SourceWindow", "Billing");
    machine("SaveNext", "True");
    clsSettings s;
    ASSERT_TRUE(s.GetSettings());
    EXPECT_EQ(s.Values(), (SettingsValues{"Billing", "user_field", 120, 0, true}));
    EXPECT_EQ(s.AppName(), "");
    EXPECT_EQ(d.log.lines.back(),
              "settings loaded: hotkey F9, source window \"Billing\", index field \"user_field\", "
              "application \"\", Auto Save/Next on; from the machine: SourceWindow, SaveNext");

    // A policy wins over all, the machine's over the user's. The dialog shows it
    // locked, OK leaves the user's own value beneath it, and lifted it gives that back.
    d.settings.userPolicy[Key("Field")] = "user_policy";
    d.settings.userPolicy[Key("SaveNext")] = "False";
    d.settings.machinePolicy[Key("Field")] = "policy_field";
    ASSERT_TRUE(s.GetSettings());
    const SettingsLocks locks{false, true, false, true};
    EXPECT_EQ(s.Values(), (SettingsValues{"Billing", "policy_field", 120, 0, false, locks}));
    EXPECT_THAT(d.log.lines.back(), testing::EndsWith("; set by policy: Field, SaveNext"));
    const auto userValues = d.settings.values;
    s.Assign({"Typed", "typed", 120, 0, true, locks});
    s.SaveSettings();
    EXPECT_EQ(d.settings.values.at(Key("Field")), "user_field");
    EXPECT_EQ(d.settings.values.count(Key("SaveNext")), 0u);
    d.settings.machinePolicy[Key("Hotkey")] = "F9";
    EXPECT_THAT([&] { s.ReadAgain(); },
                testing::ThrowsMessage<Error>(testing::EndsWith("number (set by policy)")));
    d.settings.machinePolicy.clear();
    EXPECT_EQ(s.ReadAgain(), "Field \"user_policy\" (user policy)");
    d.settings.userPolicy.clear();
    EXPECT_EQ(s.ReadAgain(), "Field \"user_field\" (user), SaveNext \"True\" (machine)");
    d.settings.values = userValues;
    d.settings.writtenKeys.clear();

    // A bad machine value fails as the user's would, saying where it is; the
    // repair's reading passes over it, and over a bad user value to the machine's.
    machine("HotKeyShift", "Ctrl");
    d.settings.Store("SaveNext", "maybe");
    clsSettings t;
    EXPECT_THROW(t.GetSettings(), Error);
    EXPECT_EQ(d.log.lines.back(),
              "settings could not be read: Type mismatch: the setting \"HotKeyShift\" holds "
              "\"Ctrl\", not a whole number (set for the whole machine)");
    EXPECT_EQ(t.HotKey(), 120);
    t.GetReadableSettings();
    EXPECT_EQ(t.Values(), (SettingsValues{"Billing", "user_field", 120, 0, true}));
    EXPECT_TRUE(d.settings.writtenKeys.empty());
}

TEST(clsSettings, StoredValueConversions) {
    fake::FakeDesktop d;
    struct Row {
        const char* hotkey;
        const char* saveNext;
        bool ok;
        std::int16_t key;
        bool next;
    };
    // clang-format off
    const Row kRows[] = {
        {"122", "true", true, 122, true},     {" 116 ", "FALSE", true, 116, false},
        {"-32768", "0", true, -32768, false}, {"32767", "-1", true, 32767, true},
        {"+7", "2.5", true, 7, true},          {"32768", "True", false, 0, false},
        {"-32769", "True", false, 0, false},  {"", "True", false, 0, false},
        {"12a", "True", false, 0, false},     {"1.5", "True", false, 0, false},
        {"122", "yes", false, 0, false},      {"122", "", false, 0, false},
        {"99999999999999999999", "True", false, 0, false},
    };
    // clang-format on
    for (const Row& r : kRows) {
        d.settings.Store("Hotkey", r.hotkey);
        d.settings.Store("SaveNext", r.saveNext);
        clsSettings s;
        if (r.ok) {
            ASSERT_NO_THROW(s.GetSettings()) << r.hotkey << " / " << r.saveNext;
            EXPECT_EQ(s.HotKey(), r.key);
            EXPECT_EQ(s.savenext(), r.next) << r.saveNext;
        } else {
            EXPECT_THROW(s.GetSettings(), Error) << r.hotkey << " / " << r.saveNext;
        }
    }
}

TEST(clsSettings, ValueOfAnotherTypeIsAnErrorNotACrash) {
    fake::FakeDesktop d;
    d.settings.nonText.insert(Key("HotKeyShift"));
    clsSettings s;
    EXPECT_THROW(s.GetSettings(), Error);
    EXPECT_EQ(d.log.lines, std::vector<std::string>{
                               "settings could not be read: The value HotKeyShift is not text."});
    EXPECT_EQ(s.HotKey(), 122);
}

TEST(clsSettings, RefusedWriteStopsAtThatKey) {
    fake::FakeDesktop d;
    d.settings.refuseWriteOf = "Hotkey";
    clsSettings s;
    s.Field("f");
    EXPECT_THROW(s.SaveSettings(), Error);
    EXPECT_EQ(d.settings.values.count(Key("Field")), 1u);
    EXPECT_EQ(d.settings.values.count(Key("Hotkey")), 0u);
    EXPECT_EQ(d.settings.values.count(Key("SaveNext")), 0u);
}

}  // namespace
}  // namespace vantrel
