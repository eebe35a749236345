#pragma once

#include <initializer_list>
#include <vector>

#include "capture/KeystrokeNotation.h"

namespace vantrel::fake {

// The keys that keystroke notations stand for, one after the other: what a
// test expects to have been sent.
inline std::vector<KeyEvent> Keys(std::initializer_list<const char*> notations) {
    std::vector<KeyEvent> all;
    for (const char* n : notations) {
        const auto keys = ParseKeystrokes(n);
        all.insert(all.end(), keys.begin(), keys.end());
    }
    return all;
}

}  // namespace vantrel::fake
