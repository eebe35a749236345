#include <windows.h>
#include <gtest/gtest.h>

#include "Win32TestSupport.h"
#include "fake/FakeDesktop.h"
#include "platform/Error.h"
#include "platform/win32/RegistrySettingsStore.h"
#include "platform/win32/Unicode.h"
#include "platform/win32/UniqueHandle.h"
#include "settings/clsSettings.h"

namespace vantrel {
namespace {

// The real store on a scratch key of the test's own, beside in-memory fakes
// for everything else; the user's own settings are never read or touched.
struct RealSettingsDesktop {
    testing::ScratchKey root;
    const std::wstring key = root.path() + L"\\Vantrel\\Settings";
    fake::FakeDesktop f;
    win32::RegistrySettingsStore store{root.path(), root.path()};  // no machine values
    Desktop desktop{store,  f.clipboard, f.keyboard, f.windows, f.files, f.processes, f.boxes,
                    f.loop, f.hotkeys,   f.atoms,    f.clock,   f.procs, f.tray,      f.registry};
    DesktopScope scope{desktop};

    std::wstring RawString(const wchar_t* name) const {
        wchar_t buffer[256] = {};
        DWORD bytes = sizeof(buffer);
        DWORD type = testing::kSentinel;
        const LSTATUS s =
            RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_ANY, &type, buffer, &bytes);
        EXPECT_EQ(s, ERROR_SUCCESS) << "value " << win32::Narrow(name);
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ)) << "value " << win32::Narrow(name);
        return buffer;
    }
};

TEST(RegistrySettingsStoreTest, SaveThenGetInAFreshObjectWithRawValuesInPlace) {
    RealSettingsDesktop d;
    clsSettings s;
    s.SourceAppTitle("Kundenübersicht Łódź");
    s.Field("last_name");
    s.AppName("AP");
    s.HotKey(-122);
    s.HotKeyShift(6);
    s.savenext(true);
    ASSERT_TRUE(s.SaveSettings());

    EXPECT_EQ(d.RawString(L"SourceWindow"), L"Kundenübersicht Łódź");
    EXPECT_EQ(d.RawString(L"Field"), L"last_name");
    EXPECT_EQ(d.RawString(L"AppName"), L"AP");
    EXPECT_EQ(d.RawString(L"Hotkey"), L"-122");
    EXPECT_EQ(d.RawString(L"HotKeyShift"), L"6");
    EXPECT_EQ(d.RawString(L"SaveNext"), L"True");

    clsSettings t;
    ASSERT_TRUE(t.GetSettings());
    EXPECT_EQ(t.SourceAppTitle(), "Kundenübersicht Łódź");
    EXPECT_EQ(t.HotKey(), -122);
    EXPECT_EQ(t.HotKeyMod(), 3);
    EXPECT_TRUE(t.savenext());

    t.savenext(false);
    t.SaveSettings();
    EXPECT_EQ(d.RawString(L"SaveNext"), L"False");

    // A user policy is read from its own key and wins; saving leaves the user's value.
    const std::wstring policy = d.root.path() + L"\\Policies\\Vantrel\\Settings";
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, policy.c_str(), L"Field", REG_SZ, L"policy_field",
                              sizeof(L"policy_field")),
              ERROR_SUCCESS);
    ASSERT_TRUE(t.GetSettings());
    EXPECT_EQ(t.Field(), "policy_field");
    t.SaveSettings();
    EXPECT_EQ(d.RawString(L"Field"), L"last_name");
}

TEST(RegistrySettingsStoreTest, MissingKeysReadAsDefaults) {
    RealSettingsDesktop d;
    clsSettings s;
    ASSERT_TRUE(s.GetSettings());
    EXPECT_EQ(s.HotKey(), 122);
    EXPECT_EQ(s.Field(), "");
    win32::UniqueHkey created;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, d.root.path().c_str(), 0, KEY_READ, created.put()),
              ERROR_FILE_NOT_FOUND)
        << "reading must not create the key";
}

TEST(RegistrySettingsStoreTest, ValuesOfOtherTypesAreClearErrors) {
    RealSettingsDesktop d;
    win32::UniqueHkey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, d.key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    const DWORD dword = 122;
    const BYTE binary[] = {1, 2, 3};
    const wchar_t multi[] = L"a\0b\0";
    struct Case {
        const wchar_t* name;
        DWORD type;
        const BYTE* data;
        DWORD size;
    };
    const Case cases[] = {
        {L"Hotkey", REG_DWORD, reinterpret_cast<const BYTE*>(&dword), sizeof dword},
        {L"Hotkey", REG_BINARY, binary, sizeof binary},
        {L"Hotkey", REG_MULTI_SZ, reinterpret_cast<const BYTE*>(multi), sizeof multi},
        {L"Field", REG_BINARY, binary, 0},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(RegSetValueExW(key.get(), c.name, 0, c.type, c.data, c.size), ERROR_SUCCESS);
        clsSettings s;
        try {
            s.GetSettings();
            ADD_FAILURE() << "type " << c.type << " must not read as text";
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find("registry type"), std::string::npos) << e.what();
        }
        RegDeleteValueW(key.get(), c.name);
    }
}

TEST(RegistrySettingsStoreTest, LongTextSurvivesTheRoundTrip) {
    RealSettingsDesktop d;
    const std::string big(1 << 20, 'x');
    d.store.Write("Vantrel", "Settings", "AppName", big);
    EXPECT_EQ(d.store.Read("Vantrel", "Settings", "AppName"), big);
}

}  // namespace
}  // namespace vantrel
