#include "platform/win32/RegistrySettingsStore.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "platform/Error.h"
#include "platform/fake/FakeDesktop.h"
#include "platform/win32/Unicode.h"
#include "settings/clsSettings.h"

namespace vantrel {
namespace {

constexpr wchar_t kKey[] = L"Software\\VB and VBA Program Settings\\Vantrel\\Settings";

// The real store beside in-memory fakes for everything else.
struct RealSettingsDesktop {
    fake::FakeDesktop f;
    win32::RegistrySettingsStore store;
    Desktop desktop{store,   f.clipboard, f.keyboard, f.windows, f.files, f.processes, f.boxes,
                    f.loop,  f.hotkeys,   f.atoms,    f.clock,   f.procs, f.tray,      f.registry};
    DesktopScope scope{desktop};
};

std::wstring RawString(const wchar_t* name) {
    wchar_t buffer[256] = {};
    DWORD bytes = sizeof(buffer);
    DWORD type = 0xdeadbeef;
    const LSTATUS s = RegGetValueW(HKEY_CURRENT_USER, kKey, name, RRF_RT_ANY, &type, buffer, &bytes);
    EXPECT_EQ(s, ERROR_SUCCESS) << "value " << win32::Narrow(name);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ)) << "value " << win32::Narrow(name);
    return buffer;
}

class RegistrySettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        HKEY existing = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &existing) == ERROR_SUCCESS) {
            RegCloseKey(existing);
            GTEST_SKIP() << "this user already has Vantrel settings; not touching them";
        }
        owned_ = true;
    }
    void TearDown() override {
        if (owned_) RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings\\Vantrel");
    }
    bool owned_ = false;
};

TEST_F(RegistrySettingsStoreTest, SaveThenGetInAFreshObjectWithRawValuesInPlace) {
    RealSettingsDesktop d;
    clsSettings s;
    s.SourceAppTitle("Kundenübersicht Łódź");
    s.Field("last_name");
    s.AppName("AP");
    s.HotKey(-122);
    s.HotKeyShift(6);
    s.savenext(true);
    ASSERT_TRUE(s.SaveSettings());

    EXPECT_EQ(RawString(L"SourceWindow"), L"Kundenübersicht Łódź");
    EXPECT_EQ(RawString(L"Field"), L"last_name");
    EXPECT_EQ(RawString(L"AppName"), L"AP");
    EXPECT_EQ(RawString(L"Hotkey"), L"-122");
    EXPECT_EQ(RawString(L"HotKeyShift"), L"6");
    EXPECT_EQ(RawString(L"SaveNext"), L"True");

    clsSettings t;
    ASSERT_TRUE(t.GetSettings());
    EXPECT_EQ(t.SourceAppTitle(), "Kundenübersicht Łódź");
    EXPECT_EQ(t.HotKey(), -122);
    EXPECT_EQ(t.HotKeyMod(), 3);
    EXPECT_TRUE(t.savenext());

    t.savenext(false);
    t.SaveSettings();
    EXPECT_EQ(RawString(L"SaveNext"), L"False");
}

TEST_F(RegistrySettingsStoreTest, MissingKeysReadAsDefaults) {
    RealSettingsDesktop d;
    clsSettings s;
    ASSERT_TRUE(s.GetSettings());
    EXPECT_EQ(s.HotKey(), 122);
    EXPECT_EQ(s.Field(), "");
    HKEY created = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &created), ERROR_FILE_NOT_FOUND)
        << "reading must not create the key";
}

TEST_F(RegistrySettingsStoreTest, ValuesOfOtherTypesAreClearErrors) {
    RealSettingsDesktop d;
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
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
        ASSERT_EQ(RegSetValueExW(key, c.name, 0, c.type, c.data, c.size), ERROR_SUCCESS);
        clsSettings s;
        try {
            s.GetSettings();
            ADD_FAILURE() << "type " << c.type << " must not read as text";
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find("registry type"), std::string::npos) << e.what();
        }
        RegDeleteValueW(key, c.name);
    }
    RegCloseKey(key);
}

TEST_F(RegistrySettingsStoreTest, LongTextSurvivesTheRoundTrip) {
    RealSettingsDesktop d;
    const std::string big(1 << 20, 'x');
    d.store.Write("Vantrel", "Settings", "AppName", big);
    EXPECT_EQ(d.store.Read("Vantrel", "Settings", "AppName"), big);
}

}  // namespace
}  // namespace vantrel
