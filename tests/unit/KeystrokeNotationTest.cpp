#include <gtest/gtest.h>

#include "capture/KeystrokeNotation.h"
#include "platform/Error.h"
#include "platform/Types.h"

namespace vantrel {
namespace {

KeyEvent D(int vk) {
    return {static_cast<std::uint16_t>(vk), false};
}
KeyEvent U(int vk) {
    return {static_cast<std::uint16_t>(vk), true};
}

TEST(KeystrokeNotation, CopyAndSelectLine) {
    EXPECT_EQ(ParseKeystrokes("^c"),
              (std::vector<KeyEvent>{D(kVkControl), D('C'), U('C'), U(kVkControl)}));
    EXPECT_EQ(ParseKeystrokes("{home}+{end}^c"),
              (std::vector<KeyEvent>{D(kVkHome), U(kVkHome),                          //
                                     D(kVkShift), D(kVkEnd), U(kVkEnd), U(kVkShift),  //
                                     D(kVkControl), D('C'), U('C'), U(kVkControl)}));
}

TEST(KeystrokeNotation, ModifiersHoldOnlyTheNextKeyAndNest) {
    EXPECT_EQ(ParseKeystrokes("^ab"), (std::vector<KeyEvent>{D(kVkControl), D('A'), U('A'),
                                                             U(kVkControl), D('B'), U('B')}));
    EXPECT_EQ(ParseKeystrokes("^+{END}"),
              (std::vector<KeyEvent>{D(kVkControl), D(kVkShift), D(kVkEnd), U(kVkEnd), U(kVkShift),
                                     U(kVkControl)}));
    EXPECT_EQ(ParseKeystrokes("7C"),
              (std::vector<KeyEvent>{D('7'), U('7'), D(kVkShift), D('C'), U('C'), U(kVkShift)}));
    EXPECT_EQ(ParseKeystrokes("+C"), ParseKeystrokes("C")) << "Shift is pressed once";
    EXPECT_TRUE(ParseKeystrokes("").empty());
}

TEST(KeystrokeNotation, MalformedIsAnError) {
    for (const char* bad :
         {"^", "{home}+", "{pgup}", "{}", "{home", "}", "a b", "^^c", "%c", "\xc3\xa9"})
        EXPECT_THROW(ParseKeystrokes(bad), Error) << bad;
}

}  // namespace
}  // namespace vantrel
