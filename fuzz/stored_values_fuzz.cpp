// StoredInteger16 and StoredBoolean on any text, against a plain reading of what
// they promise: a 16-bit decimal integer, or True/False/a number for a boolean.

#include <cctype>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "platform/Error.h"
#include "settings/StoredValues.h"

namespace {

using vantrel::fuzz::AsText;

std::string_view TrimSpaces(std::string_view t) {
    while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
    while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
    return t;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Spaces, at most one sign, digits, spaces; nothing when it is not a 16-bit number.
// `isNumber` tells a number out of range from no number at all.
std::optional<std::int16_t> ExpectedInteger(std::string_view text, bool& isNumber) {
    std::string_view t = TrimSpaces(text);
    bool negative = false;
    if (!t.empty() && (t.front() == '+' || t.front() == '-')) {
        negative = t.front() == '-';
        t.remove_prefix(1);
    }
    isNumber = !t.empty();
    for (const char c : t) isNumber = isNumber && IsDigit(c);
    if (!isNumber)
        return std::nullopt;
    long value = 0;
    for (const char c : t) {
        value = value * 10 + (c - '0');
        if (value > 40000)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value < -32768 || value > 32767)
        return std::nullopt;
    return static_cast<std::int16_t>(value);
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// True/False in any case, or sign, digits, optional fraction: true unless all digits are 0.
std::optional<bool> ExpectedBoolean(std::string_view text) {
    std::string_view t = TrimSpaces(text);
    if (SameIgnoringCase(t, "true"))
        return true;
    if (SameIgnoringCase(t, "false"))
        return false;
    if (!t.empty() && (t.front() == '+' || t.front() == '-'))
        t.remove_prefix(1);
    const std::size_t dot = t.find('.');
    const std::string_view whole = t.substr(0, dot);
    const std::string_view fraction =
        dot == std::string_view::npos ? std::string_view() : t.substr(dot + 1);
    bool digits = false;
    bool nonZero = false;
    for (const std::string_view part : {whole, fraction}) {
        for (const char c : part) {
            if (!IsDigit(c))
                return std::nullopt;
            digits = true;
            nonZero = nonZero || c != '0';
        }
    }
    if (!digits)
        return std::nullopt;
    return nonZero;
}

// The message names the key, keeps to readable text and stays short whatever was stored.
void CheckMessage(const vantrel::Error& e, std::string_view text) {
    const std::string message = e.what();
    FUZZ_CHECK(message.find("\"Key\"") != std::string::npos);
    FUZZ_CHECK(message.size() < 200);
    for (const char c : message) FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20);
    // Text the program holds is UTF-8; a shortened copy of it must be too.
    if (vantrel::fuzz::IsUtf8(text))
        FUZZ_CHECK(vantrel::fuzz::IsUtf8(message));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = AsText(data, size);

    bool isNumber = false;
    const std::optional<std::int16_t> integer = ExpectedInteger(text, isNumber);
    try {
        const std::int16_t value = vantrel::StoredInteger16("Key", text);
        FUZZ_CHECK(integer.has_value());
        FUZZ_CHECK(value == *integer);
        // What SaveSettings writes reads back the same.
        FUZZ_CHECK(vantrel::StoredInteger16("Key", vantrel::StoredText(value)) == value);
    } catch (const vantrel::Error& e) {
        FUZZ_CHECK(!integer.has_value());
        const std::string message = e.what();
        FUZZ_CHECK(message.rfind(isNumber ? "Overflow: " : "Type mismatch: ", 0) == 0);
        CheckMessage(e, text);
    }

    const std::optional<bool> boolean = ExpectedBoolean(text);
    try {
        const bool value = vantrel::StoredBoolean("Key", text);
        FUZZ_CHECK(boolean.has_value());
        FUZZ_CHECK(value == *boolean);
        FUZZ_CHECK(vantrel::StoredBoolean("Key", vantrel::StoredText(value)) == value);
    } catch (const vantrel::Error& e) {
        FUZZ_CHECK(!boolean.has_value());
        CheckMessage(e, text);
    }
    return 0;
}
