#include "settings/ScriptFieldName.h"

#include <algorithm>

#include "platform/Desktop.h"

namespace vantrel {

bool ScriptCanCarry(std::string_view fieldName) {
    const bool control = std::any_of(fieldName.begin(), fieldName.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
    return !control && CurrentDesktop().files.IsExactInAnsi(fieldName);
}

}  // namespace vantrel
