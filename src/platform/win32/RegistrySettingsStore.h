#pragma once

#include "platform/SettingsStore.h"

namespace vantrel::win32 {

// REG_SZ values under HKCU\Software\VB and VBA Program Settings\<app>\<section>,
// where the users' stored settings are and where deployment tools and support
// look for them (the README names the key); the machine-wide ones
// under HKLM\SOFTWARE\<app>\<section>, in the program's own registry view (a
// 32-bit program on 64-bit Windows reads WOW6432Node, where its package writes).
// Policies under HKLM and HKCU\SOFTWARE\Policies\<app>\<section>, a key Windows
// shares between both registry views.
class RegistrySettingsStore : public SettingsStore {
  public:
    RegistrySettingsStore() = default;
    // For tests: other root paths under HKCU and HKLM instead of the usual ones,
    // with the policies under <root>\Policies of each hive.
    RegistrySettingsStore(std::wstring root, std::wstring machineRoot)
        : root_(std::move(root)),
          machineRoot_(std::move(machineRoot)),
          policyRoot_(root_ + L"\\Policies") {}
    std::optional<std::string> Read(std::string_view app, std::string_view section,
                                    std::string_view key) override;
    std::optional<std::string> ReadMachineWide(std::string_view app, std::string_view section,
                                               std::string_view key) override;
    std::optional<std::string> ReadPolicy(PolicyScope scope, std::string_view app,
                                          std::string_view section, std::string_view key) override;
    void Write(std::string_view app, std::string_view section, std::string_view key,
               std::string_view value) override;

  private:
    std::wstring root_ = L"Software\\VB and VBA Program Settings";
    std::wstring machineRoot_ = L"SOFTWARE";
    std::wstring policyRoot_ = L"SOFTWARE\\Policies";
};

}  // namespace vantrel::win32
