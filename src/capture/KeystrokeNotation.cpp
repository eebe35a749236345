#include "capture/KeystrokeNotation.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>

#include "platform/Error.h"
#include "platform/Types.h"

namespace vantrel {

namespace {

struct NamedKey {
    std::string_view name;
    int vk;
};

// clang-format off
constexpr std::array kNamedKeys{
    NamedKey{"home", kVkHome},
    NamedKey{"end",  kVkEnd},
};
// clang-format on

bool SameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

KeyEvent Down(int vk) {
    return {static_cast<std::uint16_t>(vk), false};
}
KeyEvent Up(int vk) {
    return {static_cast<std::uint16_t>(vk), true};
}

}  // namespace

std::vector<KeyEvent> ParseKeystrokes(std::string_view notation) {
    std::vector<KeyEvent> events;
    std::vector<int> held;  // modifiers waiting for their key, in the order given
    auto hold = [&](int vk, char sign) {
        if (std::find(held.begin(), held.end(), vk) != held.end())
            throw Error(std::string("Keystrokes \"") + std::string(notation) + "\": \"" + sign +
                        "\" given twice for one key");
        held.push_back(vk);
    };
    for (std::size_t i = 0; i < notation.size(); ++i) {
        const char c = notation[i];
        if (c == '^') {
            hold(kVkControl, c);
            continue;
        }
        if (c == '+') {
            hold(kVkShift, c);
            continue;
        }
        int vk = 0;
        if (c == '{') {
            const auto close = notation.find('}', i + 1);
            if (close == std::string_view::npos)
                throw Error("Keystrokes \"" + std::string(notation) + "\": unclosed \"{\"");
            const std::string_view name = notation.substr(i + 1, close - i - 1);
            const auto named =
                std::find_if(kNamedKeys.begin(), kNamedKeys.end(),
                             [&](const NamedKey& k) { return SameName(k.name, name); });
            if (named == kNamedKeys.end())
                throw Error("Keystrokes \"" + std::string(notation) + "\": unknown key {" +
                            std::string(name) + "}");
            vk = named->vk;
            i = close;
        } else if (std::isdigit(static_cast<unsigned char>(c)) ||
                   std::islower(static_cast<unsigned char>(c))) {
            vk = std::toupper(static_cast<unsigned char>(c));
        } else if (std::isupper(static_cast<unsigned char>(c))) {
            // A capital is typed with Shift, unless "+" already holds it.
            if (std::find(held.begin(), held.end(), kVkShift) == held.end())
                held.push_back(kVkShift);
            vk = c;
        } else {
            throw Error("Keystrokes \"" + std::string(notation) + "\": unknown key \"" +
                        std::string(1, c) + "\"");
        }
        for (const int m : held) events.push_back(Down(m));
        events.push_back(Down(vk));
        events.push_back(Up(vk));
        for (auto m = held.rbegin(); m != held.rend(); ++m) events.push_back(Up(*m));
        held.clear();
    }
    if (!held.empty())
        throw Error("Keystrokes \"" + std::string(notation) + "\": a modifier has no key after it");
    return events;
}

}  // namespace vantrel
