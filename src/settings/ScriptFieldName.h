#pragma once

#include <string_view>

namespace vantrel {

// Whether the index script can carry the field name exactly as written: the
// script is ANSI text, one statement a line, so a character the system's code
// page lacks would turn into another one, and a line break or other control
// character would add statements of its own. A double quote is carried as it is.
bool ScriptCanCarry(std::string_view fieldName);

}  // namespace vantrel
