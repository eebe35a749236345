#include "settings/StoredValues.h"

#include <gtest/gtest.h>

#include "platform/Error.h"

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

}  // namespace
}  // namespace vantrel
