#pragma once

#include <string_view>
#include <vector>

#include "platform/Keyboard.h"

namespace vantrel {

// Turns keystroke notation into key presses: "^" holds Ctrl and "+" holds
// Shift for the key after them, "{home}" and "{end}" name those keys, a
// letter or digit is its own key (a capital letter is typed with Shift).
// Each key becomes: modifiers down, key down, key up, modifiers up (in
// reverse order). Throws Error for an unknown key, an unclosed brace or a
// modifier with no key after it.
std::vector<KeyEvent> ParseKeystrokes(std::string_view notation);

}  // namespace vantrel
