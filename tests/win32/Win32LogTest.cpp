#include "platform/win32/Win32Log.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "Win32TestSupport.h"

namespace vantrel {
namespace {

using testing::ReadBytes;
using testing::ScratchFolder;

// Lines of 24 + 26 + 2 bytes: the stamp, the event, CR LF.
TEST(Win32LogTest, AppendsStampedLinesAndKeepsOneOlderFileWhenFull) {
    const ScratchFolder dir;
    const std::wstring path = dir / L"Vantrel\\Vantrel.log";  // the folder is made
    win32::Win32Log log(path, 3 * 52);
    SetLastError(12345);
    log.Write("event 1: line\r\nbreak......");
    EXPECT_EQ(GetLastError(), 12345u) << "logging keeps the caller's last error";
    const std::string first = ReadBytes(path);
    ASSERT_EQ(first.size(), 52u) << first;
    EXPECT_EQ(first.substr(4, 1) + first.substr(7, 1) + first.substr(10, 1) + first.substr(13, 1) +
                  first.substr(16, 1) + first.substr(19, 1),
              "-- ::.")
        << first;
    EXPECT_EQ(first.substr(24), "event 1: line  break......\r\n") << "one event, one line";

    for (const char* event : {"event 2 ..................", "event 3 .................."}) log.Write(event);
    EXPECT_EQ(ReadBytes(path).size(), 3 * 52u);
    log.Write("event 4 ..................");
    log.Write("event 5 ..................");
    EXPECT_EQ(ReadBytes(dir / L"Vantrel\\Vantrel.old.log").substr(24, 8), "event 1:");
    const std::string current = ReadBytes(path);
    EXPECT_EQ(current.size(), 2 * 52u);
    EXPECT_EQ(current.substr(24, 8), "event 4 ");

    // Full again: the oldest lines go, the file before is the one kept.
    log.Write("event 6 ..................");
    log.Write("event 7 ..................");
    EXPECT_EQ(ReadBytes(dir / L"Vantrel\\Vantrel.old.log").substr(24, 8), "event 4 ");
    EXPECT_EQ(ReadBytes(path).substr(24, 8), "event 7 ");
}

TEST(Win32LogTest, ALogThatCannotBeWrittenIsSkippedQuietlyAndNoLineIsHuge) {
    const ScratchFolder dir;
    win32::Win32Log big(dir / L"big.log", 1024 * 1024);
    big.Write(std::string(999, 'x') + "\xC3\xBC" + std::string(100000, 'y'));  // ü across the cut
    EXPECT_EQ(ReadBytes(dir / L"big.log").substr(24), std::string(999, 'x') + "...\r\n");

    testing::WriteBytes(dir / L"not a folder", "x");
    win32::Win32Log log(dir / L"not a folder\\Vantrel.log", 1024);
    log.Write("nowhere to go");
    EXPECT_EQ(ReadBytes(dir / L"not a folder"), "x");
}

}  // namespace
}  // namespace vantrel
