#include "platform/win32/Win32Registry.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/win32/Unicode.h"
#include "platform/win32/UniqueHandle.h"

namespace vantrel::win32 {

// The buffer holds bufferSize characters, so a text value that fitted the
// narrow API's buffer of that many bytes fits here too.
std::optional<RegistryValue> Win32Registry::QueryMachineValue(std::string_view keyPath,
                                                              std::string_view valueName,
                                                              std::uint32_t access,
                                                              std::uint32_t bufferSize) {
    UniqueHkey key;
    // The system registers its own programs (System Information among them) in the
    // 64-bit view, where a 32-bit program on 64-bit Windows would not look by itself.
    // 32-bit Windows ignores the flag.
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, Widen(keyPath).c_str(), 0, access | KEY_WOW64_64KEY,
                      key.put()) != ERROR_SUCCESS)
        return std::nullopt;
    std::vector<wchar_t> buffer(std::max<std::uint32_t>(bufferSize, 1), L'\0');
    DWORD type = 0;
    DWORD bytes = bufferSize * static_cast<DWORD>(sizeof(wchar_t));
    if (RegQueryValueExW(key.get(), Widen(valueName).c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(buffer.data()), &bytes) != ERROR_SUCCESS)
        return std::nullopt;

    RegistryValue value;
    value.type = type;
    if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ) {
        // Converted with every stored character, a stored terminating NUL included,
        // so the caller can tell text stored with and without one.
        const std::string text = Narrow(std::wstring_view(buffer.data(), bytes / sizeof(wchar_t)));
        value.data.assign(text.begin(), text.end());
    } else {
        const auto* raw = reinterpret_cast<const std::uint8_t*>(buffer.data());
        value.data.assign(raw, raw + bytes);
    }
    return value;
}

}  // namespace vantrel::win32
