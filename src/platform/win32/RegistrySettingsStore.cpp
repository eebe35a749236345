#include "platform/win32/RegistrySettingsStore.h"

#include <windows.h>

#include <vector>

#include "platform/Error.h"
#include "platform/win32/Unicode.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Error.h"

namespace vantrel::win32 {

namespace {

std::wstring KeyPath(const std::wstring& root, std::string_view app, std::string_view section) {
    return root + L"\\" + Widen(app) + L"\\" + Widen(section);
}

// The text of one value under `hive`\`path`, or nothing when it or its key is absent.
std::optional<std::string> ReadText(HKEY hive, const std::wstring& path, std::string_view key,
                                    REGSAM view = 0) {
    UniqueHkey hkey;
    const LSTATUS open = RegOpenKeyExW(hive, path.c_str(), 0, KEY_QUERY_VALUE | view, hkey.put());
    if (open == ERROR_FILE_NOT_FOUND)
        return std::nullopt;
    CheckStatus(open, "Reading the settings");

    const std::wstring name = Widen(key);
    // The value may change between the size query and the read: retry then.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD type = 0;
        DWORD bytes = 0;
        LSTATUS q = RegQueryValueExW(hkey.get(), name.c_str(), nullptr, &type, nullptr, &bytes);
        if (q == ERROR_FILE_NOT_FOUND)
            return std::nullopt;
        CheckStatus(q, "Reading the setting " + std::string(key));
        if (type != REG_SZ && type != REG_EXPAND_SZ)
            throw Error("Type mismatch: the setting \"" + std::string(key) +
                        "\" is stored as registry type " + std::to_string(type) + ", not as text");
        std::vector<wchar_t> data(bytes / sizeof(wchar_t) + 1, L'\0');
        DWORD got = static_cast<DWORD>(data.size() * sizeof(wchar_t));
        q = RegQueryValueExW(hkey.get(), name.c_str(), nullptr, &type,
                             reinterpret_cast<BYTE*>(data.data()), &got);
        if (q == ERROR_MORE_DATA)
            continue;
        CheckStatus(q, "Reading the setting " + std::string(key));
        std::wstring_view text(data.data(), got / sizeof(wchar_t));
        // Text ends at its first NUL, stored or not.
        const auto nul = text.find(L'\0');
        if (nul != std::wstring_view::npos)
            text = text.substr(0, nul);
        return Narrow(text);
    }
    throw Error("Reading the setting " + std::string(key) + " failed: it keeps changing");
}

}  // namespace

std::optional<std::string> RegistrySettingsStore::Read(std::string_view app,
                                                       std::string_view section,
                                                       std::string_view key) {
    return ReadText(HKEY_CURRENT_USER, KeyPath(root_, app, section), key);
}

std::optional<std::string> RegistrySettingsStore::ReadMachineWide(std::string_view app,
                                                                  std::string_view section,
                                                                  std::string_view key) {
    return ReadText(HKEY_LOCAL_MACHINE, KeyPath(machineRoot_, app, section), key);
}

// The policy key is shared between the views on Windows; naming the 64-bit one
// makes a 32-bit program read the same key under Wine and in tools that write
// only one view (32-bit Windows ignores the flag).
std::optional<std::string> RegistrySettingsStore::ReadPolicy(PolicyScope scope,
                                                             std::string_view app,
                                                             std::string_view section,
                                                             std::string_view key) {
    const HKEY hive = scope == PolicyScope::Machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    return ReadText(hive, KeyPath(policyRoot_, app, section), key, KEY_WOW64_64KEY);
}

void RegistrySettingsStore::Write(std::string_view app, std::string_view section,
                                  std::string_view key, std::string_view value) {
    UniqueHkey hkey;
    const LSTATUS create =
        RegCreateKeyExW(HKEY_CURRENT_USER, KeyPath(root_, app, section).c_str(), 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, hkey.put(), nullptr);
    CheckStatus(create, "Saving the settings");
    const std::wstring text = Widen(value);
    const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    const LSTATUS set = RegSetValueExW(hkey.get(), Widen(key).c_str(), 0, REG_SZ,
                                       reinterpret_cast<const BYTE*>(text.c_str()), bytes);
    CheckStatus(set, "Saving the setting " + std::string(key));
}

}  // namespace vantrel::win32
