#pragma once

// Conversions between the settings' stored text and their typed values.

#include <cstdint>
#include <string>
#include <string_view>

namespace vantrel {

// Decimal text (spaces around it allowed) to a 16-bit signed integer.
// Throws Error naming `key` when the text is not such a number.
std::int16_t StoredInteger16(std::string_view key, std::string_view text);

// "True"/"False" in any letter case, or a number where zero is false.
// Throws Error naming `key` otherwise.
bool StoredBoolean(std::string_view key, std::string_view text);

// A stored text in double quotes as messages and the log show it: the first
// 40 bytes, cut between characters, control characters as '?'.
std::string StoredTextQuoted(std::string_view text);

std::string StoredText(std::int16_t value);
std::string StoredText(bool value);

}  // namespace vantrel
