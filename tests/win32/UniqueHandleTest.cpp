#include <windows.h>
#include <gtest/gtest.h>

#include "Win32TestSupport.h"
#include "platform/win32/UniqueHandle.h"

namespace vantrel {
namespace {

using testing::kSentinel;
using testing::LastErrorText;
using testing::ScratchFolder;

// CreateFileW fails with INVALID_HANDLE_VALUE, not null: the file owner must
// take that as empty, and closing must leave the caller's error alone.
TEST(UniqueHandleTest, AFileOwnerIsEmptyWhereCreateFileFailedAndClosesKeepingTheError) {
    const ScratchFolder dir;
    const win32::UniqueFile missing(CreateFileW((dir / L"no folder\\x.sc").c_str(), GENERIC_READ, 0,
                                                nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(missing);
    EXPECT_EQ(missing.get(), INVALID_HANDLE_VALUE);

    const std::wstring path = dir / L"scratch.sc";
    win32::UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                       FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    ASSERT_TRUE(file) << LastErrorText();
    SetLastError(kSentinel);
    file.reset();
    EXPECT_EQ(GetLastError(), kSentinel) << "closing replaced the error";
    EXPECT_FALSE(file);
    EXPECT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES)
        << "the handle was not closed";

    // A close that fails sets its own error, which must not replace the caller's.
    struct FailingClose : win32::FileHandlePolicy {
        static void Close(Handle) noexcept { SetLastError(ERROR_INVALID_HANDLE); }
    };
    win32::UniqueHandle<FailingClose> failing(
        reinterpret_cast<HANDLE>(1));  // the closer touches nothing
    SetLastError(kSentinel);
    failing.reset();
    EXPECT_EQ(GetLastError(), kSentinel) << "a failed close replaced the error";
}

}  // namespace
}  // namespace vantrel
