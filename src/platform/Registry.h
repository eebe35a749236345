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
    std::vector<std::uint8_t> data;  // REG_SZ as ANSI bytes, as the value's query returns them
};

// Read-only lookups under HKEY_LOCAL_MACHINE.
class Registry {
public:
    virtual ~Registry() = default;
    // Opens `keyPath` with `access`, queries `valueName` into a buffer of
    // `bufferSize` bytes and closes the key. Nothing when the open or the
    // query does not succeed (a larger value included).
    virtual std::optional<RegistryValue> QueryMachineValue(std::string_view keyPath,
                                                           std::string_view valueName,
                                                           std::uint32_t access,
                                                           std::uint32_t bufferSize) = 0;
};

}  // namespace vantrel
