#include <gtest/gtest.h>

#include <set>

#include "settings/KeyNames.h"

namespace vantrel {
namespace {

TEST(KeyNames, ShiftNamesFollowTheModifierBits) {
    // 1 Shift, 2 Ctrl, 4 Alt; the words run Ctrl, Alt, Shift.
    for (int s = 1; s <= 7; ++s) {
        std::string expected;
        if (s & 2)
            expected += "Ctrl";
        if (s & 4)
            expected += std::string(expected.empty() ? "" : "-") + "Alt";
        if (s & 1)
            expected += std::string(expected.empty() ? "" : "-") + "Shift";
        EXPECT_EQ(ShiftName(s), expected) << "state " << s;
    }
    EXPECT_EQ(ShiftName(0), "");
    EXPECT_EQ(ShiftName(8), "");
}

TEST(KeyNames, GeneratedRangesAndGaps) {
    for (int c = 48; c <= 57; ++c) EXPECT_EQ(KeyName(c), std::string(1, static_cast<char>(c)));
    for (int c = 65; c <= 90; ++c) EXPECT_EQ(KeyName(c), std::string(1, static_cast<char>(c)));
    for (int c = 96; c <= 105; ++c)
        EXPECT_EQ(KeyName(c), "Numeric keypad " + std::to_string(c - 96));
    for (int c = 112; c <= 135; ++c) EXPECT_EQ(KeyName(c), "F" + std::to_string(c - 111));
    for (int c = 58; c <= 64; ++c) EXPECT_EQ(KeyName(c), "") << c;
    for (int c : {0, 1, 2, 4, 16, 17, 18, 42, 94, 95}) EXPECT_EQ(KeyName(c), "") << c;
}

TEST(KeyNames, SingleEntries) {
    struct Row {
        int code;
        const char* name;
    };
    // clang-format off
    constexpr Row kRows[] = {
        {3, "CANCEL"},       {8, "BACKSPACE"},  {9, "TAB"},          {12, "CLEAR"},
        {13, "ENTER"},       {19, "PAUSE"},     {20, "CAPS LOCK"},   {27, "ESC"},
        {32, "SPACEBAR"},    {33, "PAGE UP"},   {34, "PAGE DOWN"},   {35, "END"},
        {36, "HOME"},        {37, "LEFT ARROW"}, {38, "UP ARROW"},   {39, "RIGHT ARROW"},
        {40, "DOWN ARROW"},  {41, "SELECT"},    {43, "EXECUTE"},     {44, "PRINT SCREEN"},
        {45, "INS"},         {46, "DEL"},       {47, "HELP"},        {91, "Left Windows key"},
        {92, "Right Windows key"}, {93, "Applications key"}, {106, "Multiply"}, {107, "Add"},
        {108, "Separator"},  {109, "Substract"}, {110, "Decimal"},   {111, "Divide"},
    };
    // clang-format on
    std::set<int> listed;
    for (const Row& r : kRows) {
        EXPECT_EQ(KeyName(r.code), r.name) << r.code;
        listed.insert(r.code);
    }
    // Nothing else in 0..47 or 91..111 has a name.
    for (int c = 0; c < 136; ++c) {
        const bool generated =
            (c >= 48 && c <= 57) || (c >= 65 && c <= 90) || (c >= 96 && c <= 105) || c >= 112;
        if (!generated && listed.count(c) == 0) {
            EXPECT_EQ(kKeyNames[static_cast<std::size_t>(c)], "") << c;
        }
    }
}

TEST(KeyNames, ValuesOutsideTheTablesAreNamedByNumber) {
    EXPECT_EQ(KeyName(136), "Key 136");
    EXPECT_EQ(KeyName(200), "Key 200");
    EXPECT_EQ(KeyName(-1), "Key -1");
    EXPECT_EQ(KeyName(32767), "Key 32767");
    EXPECT_EQ(ShiftName(9), "Shift 9");
    EXPECT_EQ(ShiftName(-32768), "Shift -32768");
    EXPECT_EQ(HotKeyText(9, 200), "Shift 9 Key 200");
}

TEST(KeyNames, HotKeyTextJoinsWithOneSpace) {
    EXPECT_EQ(HotKeyText(6, 116), "Ctrl-Alt F5");
    EXPECT_EQ(HotKeyText(0, 122), " F11");
    EXPECT_EQ(HotKeyText(4, 65), "Alt A");
    EXPECT_EQ(HotKeyText(2, 60), "Ctrl ");
    EXPECT_EQ(HotKeyText(8, 0), " ");
}

}  // namespace
}  // namespace vantrel
