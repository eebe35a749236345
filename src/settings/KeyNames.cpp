#include "settings/KeyNames.h"

namespace vantrel {

std::string ShiftName(int shift) {
    if (shift < 0 || shift >= static_cast<int>(kShiftNames.size()))
        return "Shift " + std::to_string(shift);
    return std::string(kShiftNames[static_cast<std::size_t>(shift)]);
}

std::string KeyName(int code) {
    if (code < 0 || code >= static_cast<int>(kKeyNames.size()))
        return "Key " + std::to_string(code);
    return std::string(kKeyNames[static_cast<std::size_t>(code)]);
}

std::string HotKeyText(int shift, int code) {
    return ShiftName(shift) + " " + KeyName(code);
}

std::string HotKeyLabel(int shift, int code) {
    const std::string modifiers = ShiftName(shift);
    return modifiers.empty() ? KeyName(code) : modifiers + " " + KeyName(code);
}

}  // namespace vantrel
