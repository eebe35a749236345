#include <windows.h>
#include <gtest/gtest.h>
#include <sddl.h>

#include <cstring>

#include "Win32TestSupport.h"
#include "platform/win32/Win32Registry.h"

namespace vantrel {
namespace {

using testing::LastErrorText;

// The access mask and buffer the about box asks for.
constexpr std::uint32_t kAccess = 0x2003F;
constexpr std::uint32_t kBuffer = 1024;

std::vector<std::uint8_t> Bytes(const std::string& s) {
    return {s.begin(), s.end()};
}

// A scratch key under HKLM\Software in the native view (where the lookups read, also
// for a 32-bit test on 64-bit Windows), deleted with everything in it.
class Win32RegistryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const LSTATUS s =
            RegCreateKeyExW(HKEY_LOCAL_MACHINE, path_.c_str(), 0, nullptr, 0,
                            KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, key_.put(), nullptr);
        if (s == ERROR_ACCESS_DENIED)
            GTEST_SKIP() << "needs write access to HKEY_LOCAL_MACHINE\\Software";
        ASSERT_EQ(s, ERROR_SUCCESS) << "creating the scratch key";
    }
    void TearDown() override {
        if (!key_)
            return;
        // A locked subkey is opened up first so it can go.
        win32::UniqueHkey locked;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, (path_ + L"\\Locked").c_str(), 0,
                          WRITE_DAC | KEY_WOW64_64KEY, locked.put()) == ERROR_SUCCESS) {
            PSECURITY_DESCRIPTOR open = nullptr;
            ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;;KA;;;WD)", SDDL_REVISION_1,
                                                                 &open, nullptr);
            RegSetKeySecurity(locked.get(), DACL_SECURITY_INFORMATION, open);
            LocalFree(open);
        }
        locked.reset();
        EXPECT_EQ(RegDeleteTreeW(key_.get(), nullptr), ERROR_SUCCESS);
        key_.reset();
        EXPECT_EQ(RegDeleteKeyExW(HKEY_LOCAL_MACHINE, path_.c_str(), KEY_WOW64_64KEY, 0),
                  ERROR_SUCCESS);
    }
    void Set(const wchar_t* name, DWORD type, const void* data, std::size_t bytes) {
        ASSERT_EQ(RegSetValueExW(key_.get(), name, 0, type, static_cast<const BYTE*>(data),
                                 static_cast<DWORD>(bytes)),
                  ERROR_SUCCESS);
    }
    // Windows stores the NUL when one follows the counted text in memory, so an
    // unterminated value is written from text that a non-NUL follows.
    void SetText(const wchar_t* name, const std::wstring& text, bool withNul) {
        const std::wstring buffer = withNul ? text : text + L"#";
        Set(name, REG_SZ, buffer.c_str(), (text.size() + (withNul ? 1 : 0)) * sizeof(wchar_t));
    }
    std::optional<RegistryValue> Query(const std::string& value, std::uint32_t access = kAccess,
                                       std::uint32_t buffer = kBuffer) {
        return registry_.QueryMachineValue(win32::Narrow(path_), value, access, buffer);
    }

    const std::wstring path_ = L"Software\\" + testing::UniqueName(L"Vantrel Test");
    win32::UniqueHkey key_;
    win32::Win32Registry registry_;
};

TEST_F(Win32RegistryTest, TextComesAsUtf8KeepingAStoredTerminatorOnly) {
    SetText(L"PATH", L"C:\\Windows\\msinfo32.exe", true);
    SetText(L"Unterminated", L"C:\\Tools", false);
    SetText(L"Umlaut", L"C:\\Programme\\Übersicht", true);
    Set(L"Empty", REG_SZ, L"", 0);

    auto v = Query("PATH");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->type, kRegSz);
    EXPECT_EQ(v->data, Bytes(std::string("C:\\Windows\\msinfo32.exe") + '\0'));

    v = Query("Unterminated");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->data, Bytes("C:\\Tools"));

    v = Query("umlaut");  // value names ignore case
    ASSERT_TRUE(v);
    EXPECT_EQ(v->data, Bytes(std::string("C:\\Programme\\Übersicht") + '\0'));

    v = Query("Empty");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->type, kRegSz);
    EXPECT_TRUE(v->data.empty());
}

TEST_F(Win32RegistryTest, OtherTypesComeAsStoredBytes) {
    const DWORD number = 0x12345678;
    Set(L"Number", REG_DWORD, &number, sizeof number);
    const BYTE blob[] = {0, 1, 0xFE, 0xFF, 7};
    Set(L"Blob", REG_BINARY, blob, sizeof blob);

    auto v = Query("Number");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->type, kRegDword);
    EXPECT_EQ(v->data, (std::vector<std::uint8_t>{0x78, 0x56, 0x34, 0x12}));

    v = Query("Blob");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->type, static_cast<std::uint32_t>(REG_BINARY));
    EXPECT_EQ(v->data, std::vector<std::uint8_t>(std::begin(blob), std::end(blob)));
}

TEST_F(Win32RegistryTest, AValueLargerThanTheBufferCountsAsMissing) {
    SetText(L"Fits", std::wstring(kBuffer - 1, L'x'), true);  // with its NUL, exactly the buffer
    SetText(L"TooLong", std::wstring(kBuffer, L'x'), true);
    const auto fits = Query("Fits");
    ASSERT_TRUE(fits);
    EXPECT_EQ(fits->data.size(), kBuffer);
    EXPECT_FALSE(Query("TooLong"));
}

TEST_F(Win32RegistryTest, MissingKeysAndValuesAreNothing) {
    EXPECT_FALSE(Query("NoSuchValue"));
    EXPECT_FALSE(registry_.QueryMachineValue(win32::Narrow(path_) + "\\NoSuchKey", "PATH", kAccess,
                                             kBuffer));
}

TEST_F(Win32RegistryTest, AKeyThatRefusesTheAccessMaskCountsAsMissing) {
    win32::UniqueHkey locked;
    ASSERT_EQ(RegCreateKeyExW(key_.get(), L"Locked", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              locked.put(), nullptr),
              ERROR_SUCCESS);
    const std::wstring text = L"C:\\Windows\\msinfo32.exe";
    ASSERT_EQ(RegSetValueExW(locked.get(), L"PATH", 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    // Readable by everyone, nothing more. (Wine ignores a descriptor given at creation.)
    PSECURITY_DESCRIPTOR readOnly = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
        L"D:P(A;;KR;;;WD)", SDDL_REVISION_1, &readOnly, nullptr))
        << LastErrorText();
    const LSTATUS secured = RegSetKeySecurity(locked.get(), DACL_SECURITY_INFORMATION, readOnly);
    LocalFree(readOnly);
    ASSERT_EQ(secured, ERROR_SUCCESS);
    locked.reset();

    const std::string lockedPath = win32::Narrow(path_) + "\\Locked";
    win32::UniqueHkey probe;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, win32::Widen(lockedPath).c_str(), 0,
                      kAccess | KEY_WOW64_64KEY, probe.put()) == ERROR_SUCCESS)
        GTEST_SKIP() << "this account is granted every access regardless of the key's security";
    EXPECT_FALSE(registry_.QueryMachineValue(lockedPath, "PATH", kAccess, kBuffer));
    EXPECT_TRUE(registry_.QueryMachineValue(lockedPath, "PATH", KEY_READ, kBuffer))
        << "readable with less";
}

}  // namespace
}  // namespace vantrel
