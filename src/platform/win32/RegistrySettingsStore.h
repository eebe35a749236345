#pragma once

#include "platform/SettingsStore.h"

namespace vantrel::win32 {

// REG_SZ values under HKCU\Software\VB and VBA Program Settings\<app>\<section>,
// where such programs have always kept per-user settings.
class RegistrySettingsStore : public SettingsStore {
public:
    RegistrySettingsStore() = default;
    // For tests: another root path under HKCU instead of the usual one.
    explicit RegistrySettingsStore(std::wstring root) : root_(std::move(root)) {}
    std::optional<std::string> Read(std::string_view app, std::string_view section,
                                    std::string_view key) override;
    void Write(std::string_view app, std::string_view section, std::string_view key,
               std::string_view value) override;

private:
    std::wstring KeyPath(std::string_view app, std::string_view section) const;
    std::wstring root_ = L"Software\\VB and VBA Program Settings";
};

}  // namespace vantrel::win32
