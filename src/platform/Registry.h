#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace vantrel {

constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegDword = 4;

struct RegistryValue {
    std::uint32_t type = 0;
    // Text types as UTF-8, with one trailing NUL when the stored data ended in one;
    // other types as their raw bytes.
    std::vector<std::uint8_t> data;
};

// Read-only lookups under HKEY_LOCAL_MACHINE.
class Registry {
  public:
    virtual ~Registry() = default;
    // Opens `keyPath` with `access`, queries `valueName` into a buffer of
    // `bufferSize` characters and closes the key. Nothing when the open or the
    // query does not succeed (a larger value included). Always the machine's
    // native view: a 32-bit program on 64-bit Windows reads the 64-bit keys.
    virtual std::optional<RegistryValue> QueryMachineValue(std::string_view keyPath,
                                                           std::string_view valueName,
                                                           std::uint32_t access,
                                                           std::uint32_t bufferSize) = 0;
};

}  // namespace vantrel
