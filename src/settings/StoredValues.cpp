#include "settings/StoredValues.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <limits>

#include "platform/Error.h"
#include "platform/Utf8.h"

namespace vantrel {

namespace {

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// Optional sign, digits, optional fraction: the numbers a boolean may be stored as.
bool IsDecimalNumber(std::string_view t, bool& nonZero) {
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '-' || t[i] == '+'))
        ++i;
    bool digits = false;
    nonZero = false;
    for (; i < t.size() && std::isdigit(static_cast<unsigned char>(t[i])); ++i) {
        digits = true;
        nonZero = nonZero || t[i] != '0';
    }
    if (i < t.size() && t[i] == '.') {
        for (++i; i < t.size() && std::isdigit(static_cast<unsigned char>(t[i])); ++i) {
            digits = true;
            nonZero = nonZero || t[i] != '0';
        }
    }
    return digits && i == t.size();
}

}  // namespace

// Stored values may be long or binary junk; keep the message readable.
std::string StoredTextQuoted(std::string_view text) {
    constexpr std::size_t kShown = 40;
    // Cut between characters, so the message stays UTF-8 like the text.
    const std::size_t cut = Utf8CutLength(text, kShown);
    std::string shown(text.substr(0, cut));
    for (char& c : shown) {
        if (static_cast<unsigned char>(c) < 0x20)
            c = '?';
    }
    return "\"" + shown + (text.size() > kShown ? "...\"" : "\"");
}

std::int16_t StoredInteger16(std::string_view key, std::string_view text) {
    std::string_view t = Trimmed(text);
    // from_chars reads a minus but not a plus; a plus before a minus is two signs.
    if (t.size() > 1 && t.front() == '+' && t[1] != '-')
        t.remove_prefix(1);
    long value = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (t.empty() || end != t.data() + t.size() ||
        (ec != std::errc() && ec != std::errc::result_out_of_range))
        throw Error("Type mismatch: the setting \"" + std::string(key) + "\" holds " +
                    StoredTextQuoted(text) + ", not a whole number");
    if (ec == std::errc::result_out_of_range || value < std::numeric_limits<std::int16_t>::min() ||
        value > std::numeric_limits<std::int16_t>::max())
        throw Error("Overflow: the setting \"" + std::string(key) + "\" holds " +
                    StoredTextQuoted(text) + ", outside -32768 to 32767");
    return static_cast<std::int16_t>(value);
}

bool StoredBoolean(std::string_view key, std::string_view text) {
    const std::string_view t = Trimmed(text);
    if (EqualsIgnoringCase(t, "True"))
        return true;
    if (EqualsIgnoringCase(t, "False"))
        return false;
    bool nonZero = false;
    if (IsDecimalNumber(t, nonZero))
        return nonZero;
    throw Error("Type mismatch: the setting \"" + std::string(key) + "\" holds " +
                StoredTextQuoted(text) + ", not True or False");
}

std::string StoredText(std::int16_t value) {
    return std::to_string(value);
}

std::string StoredText(bool value) {
    return value ? "True" : "False";
}

}  // namespace vantrel
