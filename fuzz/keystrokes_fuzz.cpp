// ParseKeystrokes on any text: it either fails with Error or gives whole key
// presses, each wrapped in its modifiers, that leave no key down.

#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "capture/KeystrokeNotation.h"
#include "platform/Error.h"
#include "platform/Types.h"

namespace {

using vantrel::KeyEvent;

bool IsModifier(int vk) {
    return vk == vantrel::kVkControl || vk == vantrel::kVkShift;
}

bool IsPlainKey(int vk) {
    return (vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z') || vk == vantrel::kVkHome ||
           vk == vantrel::kVkEnd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view notation = vantrel::fuzz::AsText(data, size);
    std::vector<KeyEvent> events;
    try {
        events = vantrel::ParseKeystrokes(notation);
    } catch (const vantrel::Error& e) {
        // The message quotes the notation it refused (what() ends at a NUL).
        FUZZ_CHECK(std::string(e.what()).find(notation.substr(0, notation.find('\0'))) !=
                   std::string::npos);
        return 0;
    }

    // Walk the presses: modifiers down, the key down and up, the modifiers up in
    // reverse order.
    std::size_t i = 0;
    std::size_t keys = 0;
    while (i < events.size()) {
        std::vector<int> held;
        while (i < events.size() && !events[i].up && IsModifier(events[i].vk)) {
            for (const int m : held) FUZZ_CHECK(m != events[i].vk);
            held.push_back(events[i].vk);
            ++i;
        }
        FUZZ_CHECK(i + 1 < events.size());
        FUZZ_CHECK(!events[i].up && IsPlainKey(events[i].vk));
        FUZZ_CHECK(events[i + 1].up && events[i + 1].vk == events[i].vk);
        const int key = events[i].vk;
        i += 2;
        for (auto m = held.rbegin(); m != held.rend(); ++m, ++i) {
            FUZZ_CHECK(i < events.size());
            FUZZ_CHECK(events[i].up && events[i].vk == *m);
        }
        // A capital letter is always typed with Shift; lower case and digits give the same code.
        if (key >= 'A' && key <= 'Z' &&
            notation.find(static_cast<char>(key)) != std::string_view::npos &&
            notation.find(static_cast<char>(std::tolower(key))) == std::string_view::npos)
            FUZZ_CHECK(!held.empty());
        ++keys;
    }
    // Every key comes from at least one character, and the notation is not empty of keys.
    FUZZ_CHECK(keys <= notation.size());
    FUZZ_CHECK(notation.empty() == (keys == 0));
    return 0;
}
