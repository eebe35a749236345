#include "platform/win32/Win32Registry.h"

#include "platform/Error.h"

namespace vantrel::win32 {

std::optional<RegistryValue> Win32Registry::QueryMachineValue(std::string_view /*keyPath*/, std::string_view /*valueName*/, std::uint32_t /*access*/, std::uint32_t /*bufferSize*/) { throw Error("Win32Registry::QueryMachineValue is not implemented yet"); }


}  // namespace vantrel::win32
