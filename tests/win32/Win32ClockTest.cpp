#include <windows.h>
#include <gtest/gtest.h>

#include "Win32TestSupport.h"
#include "platform/win32/Win32Clock.h"

namespace vantrel {
namespace {

TEST(Win32ClockTest, GivesTheLocalDateAndTheTimeToTheSecondInTheUsersFormats) {
    SYSTEMTIME before{};
    GetLocalTime(&before);
    const std::string now = win32::Win32Clock().NowAsGeneralDate();
    SYSTEMTIME after{};
    GetLocalTime(&after);
    if (before.wDay != after.wDay)
        GTEST_SKIP() << "ran across midnight";
    EXPECT_NE(now.find(std::to_string(before.wYear)), std::string::npos) << now;
    // Date and time are separated by a space, and the user's long time shows seconds.
    const auto space = now.find(' ');
    ASSERT_NE(space, std::string::npos) << now;
    EXPECT_NE(now.find(':', space), now.rfind(':')) << "hours, minutes and seconds: " << now;
}

}  // namespace
}  // namespace vantrel
