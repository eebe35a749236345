#pragma once

#include "platform/Registry.h"

namespace vantrel::win32 {

// Read-only lookups under HKEY_LOCAL_MACHINE.
class Win32Registry : public Registry {
  public:
    std::optional<RegistryValue> QueryMachineValue(std::string_view keyPath,
                                                   std::string_view valueName, std::uint32_t access,
                                                   std::uint32_t bufferSize) override;
};

}  // namespace vantrel::win32
