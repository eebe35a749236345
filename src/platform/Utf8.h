#pragma once

#include <cstddef>
#include <string_view>

namespace vantrel {

// The program's text is UTF-8: counted and cut by characters, never inside one.
inline bool IsUtf8Continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

inline std::size_t Utf8CharacterCount(std::string_view text) {
    std::size_t count = 0;
    for (const char c : text) {
        if (!IsUtf8Continuation(c))
            ++count;
    }
    return count;
}

// The length of the longest start of `text`, at most `limit` bytes, that ends
// between two characters.
inline std::size_t Utf8CutLength(std::string_view text, std::size_t limit) {
    if (limit >= text.size())
        return text.size();
    std::size_t cut = limit;
    while (cut > 0 && IsUtf8Continuation(text[cut])) --cut;
    return cut;
}

}  // namespace vantrel
