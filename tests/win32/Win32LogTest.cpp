#include <windows.h>
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "Win32TestSupport.h"
#include "platform/win32/Win32Log.h"

namespace vantrel {
namespace {

using testing::ReadBytes;
using testing::ScratchFolder;

// Lines of 24 + 26 + 2 bytes and the process: the stamp, the event, CR LF.
TEST(Win32LogTest, AppendsStampedLinesAndKeepsOneOlderFileWhenFull) {
    const ScratchFolder dir;
    const std::wstring path = dir / L"Vantrel\\Vantrel.log";  // the folder is made
    const std::string id = std::to_string(GetCurrentProcessId()), process = "[" + id + "] ";
    const std::size_t n = 52 + process.size(), at = 24 + process.size();
    win32::Win32Log log(path, 3 * n);
    SetLastError(12345);
    log.Write("event 1: line\r\nbreak\t\x1b\x7f\xc2\x85..");
    EXPECT_EQ(GetLastError(), 12345u) << "logging keeps the caller's last error";
    const std::string first = ReadBytes(path);
    ASSERT_EQ(first.size(), n) << first;
    EXPECT_EQ(first.substr(4, 1) + first.substr(7, 1) + first.substr(10, 1) + first.substr(13, 1) +
                  first.substr(16, 1) + first.substr(19, 1),
              "-- ::.")
        << first;
    EXPECT_EQ(first.substr(24), process + "event 1: line  break    ..\r\n")
        << "one event, one line, no control";

    for (const char* event : {"event 2 ..................", "event 3 .................."})
        log.Write(event);
    EXPECT_EQ(ReadBytes(path).size(), 3 * n);
    log.Write("event 4 ..................");
    log.Write("event 5 ..................");
    EXPECT_EQ(ReadBytes(dir / L"Vantrel\\Vantrel.old.log").substr(at, 8), "event 1:");
    const std::string current = ReadBytes(path);
    EXPECT_EQ(current.size(), 2 * n);
    EXPECT_EQ(current.substr(at, 8), "event 4 ");

    // Full again: the oldest lines go, the file before is the one kept.
    log.Write("event 6 ..................");
    log.Write("event 7 ..................");
    EXPECT_EQ(ReadBytes(dir / L"Vantrel\\Vantrel.old.log").substr(at, 8), "event 4 ");
    EXPECT_EQ(ReadBytes(path).substr(at, 8), "event 7 ");

    // Two copies of the program full at once: the one moving the file aside
    // second must not put the other's new file in its place.
    std::atomic<bool> done{false};
    std::thread copy([&] {
        win32::Win32Log other(dir / L"two.log", 4000);
        while (!done) other.Write(std::string(60, 'b'));
    });
    win32::Win32Log mine(dir / L"two.log", 4000);
    WIN32_FILE_ATTRIBUTE_DATA older{};
    int rotated = 0;
    for (int i = 0; i < 2000 && !::testing::Test::HasFailure(); ++i) {
        mine.Write(std::string(60, 'a'));
        if (GetFileAttributesExW((dir / L"two.old.log").c_str(), GetFileExInfoStandard, &older)) {
            ++rotated;
            EXPECT_GT(older.nFileSizeLow, 3000u)
                << "a rotated log was lost after " << i << " lines";
        }
    }
    done = true;
    copy.join();
    EXPECT_GT(rotated, 0) << "the file was never moved aside, so nothing above was checked";
}

TEST(Win32LogTest, ALogThatCannotBeWrittenIsSkippedQuietlyAndNoLineIsHuge) {
    const ScratchFolder dir;
    win32::Win32Log big(dir / L"big.log", 1024 * 1024);
    big.Write(std::string(999, 'x') + "\xC3\xBC" + std::string(100000, 'y'));  // ü across the cut
    EXPECT_EQ(ReadBytes(dir / L"big.log").substr(27 + std::to_string(GetCurrentProcessId()).size()),
              std::string(999, 'x') + "...\r\n");

    testing::WriteBytes(dir / L"not a folder", "x");
    win32::Win32Log log(dir / L"not a folder\\Vantrel.log", 1024);
    log.Write("nowhere to go");
    EXPECT_EQ(ReadBytes(dir / L"not a folder"), "x");
}

}  // namespace
}  // namespace vantrel
