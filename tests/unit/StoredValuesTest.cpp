#include <gtest/gtest.h>

#include <string>

#include "platform/Error.h"
#include "settings/StoredValues.h"

namespace vantrel {
namespace {

TEST(StoredValues, IntegerTakesOneSignAtMost) {
    EXPECT_EQ(StoredInteger16("Hotkey", "+7"), 7);
    EXPECT_EQ(StoredInteger16("Hotkey", " -7 "), -7);
    for (const char* text : {"+-5", " +-3270 ", "-+5", "++5", "--5", "+", "-", "+ 5"}) {
        SCOPED_TRACE(text);
        EXPECT_THROW(StoredInteger16("Hotkey", text), Error);
    }
}

TEST(StoredValues, LongValueIsShortenedBetweenCharacters) {
    // The 40th and 41st bytes are one character: the message stops before it.
    const std::string stored = std::string(39, 'x') + "\xC3\xA9tat";
    for (const auto convert : {+[](const std::string& t) { StoredInteger16("Hotkey", t); },
                               +[](const std::string& t) { StoredBoolean("SaveNext", t); }}) {
        try {
            convert(stored);
            ADD_FAILURE() << "converted";
        } catch (const Error& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find("\"" + std::string(39, 'x') + "...\""), std::string::npos)
                << message;
            EXPECT_EQ(message.find('\xC3'), std::string::npos) << message;
        }
    }
    // Control characters would break the box's line or reach a terminal as
    // commands: each shows as "?".
    try {
        StoredBoolean("SaveNext", "Tr\rue\x1B[2J");
        ADD_FAILURE() << "converted";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("\"Tr?ue?[2J\""), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace vantrel
