#include <windows.h>
#include <gtest/gtest.h>

#include <vector>

#include "Win32TestSupport.h"
#include "platform/Error.h"
#include "platform/win32/Win32Files.h"

namespace vantrel {
namespace {

using testing::kSentinel;
using testing::LastErrorText;
using testing::ReadBytes;
using testing::ScratchFolder;
using testing::Win32ErrorCode;
using testing::WriteBytes;

TEST(Win32FilesTest, OnlyNormalFilesArePlain) {
    win32::Win32Files files;
    const ScratchFolder dir;
    WriteBytes(dir / L"plain.sc", "x");
    WriteBytes(dir / L"readonly.sc", "x");
    WriteBytes(dir / L"archived.sc", "x");
    WriteBytes(dir / L"hidden.sc", "x");
    WriteBytes(dir / L"system.sc", "x");
    WriteBytes(dir / L"Übersicht ł.sc", "x");
    ASSERT_TRUE(CreateDirectoryW((dir / L"folder.sc").c_str(), nullptr)) << LastErrorText();
    ASSERT_TRUE(SetFileAttributesW((dir / L"readonly.sc").c_str(), FILE_ATTRIBUTE_READONLY))
        << LastErrorText();
    ASSERT_TRUE(SetFileAttributesW((dir / L"archived.sc").c_str(), FILE_ATTRIBUTE_ARCHIVE))
        << LastErrorText();
    ASSERT_TRUE(SetFileAttributesW((dir / L"hidden.sc").c_str(), FILE_ATTRIBUTE_HIDDEN))
        << LastErrorText();
    ASSERT_TRUE(SetFileAttributesW((dir / L"system.sc").c_str(), FILE_ATTRIBUTE_SYSTEM))
        << LastErrorText();

    struct Case {
        const wchar_t* name;
        bool plain;
    };
    // clang-format off
    const Case cases[] = {
        {L"plain.sc",                   true},
        {L"PLAIN.SC",                   true},   // names ignore case
        {L"readonly.sc",                true},
        {L"archived.sc",                true},
        {L"Übersicht ł.sc",             true},
        {L"hidden.sc",                  false},
        {L"system.sc",                  false},
        {L"folder.sc",                  false},
        {L"missing.sc",                 false},
        {L"missing folder\\brisklet.sc", false},
    };
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(files.IsPlainFile(dir.Utf8(c.name)), c.plain) << win32::Narrow(c.name);
    }
}

TEST(Win32FilesTest, WritesTheTextInTheAnsiCodePageReplacingAnyLongerOldFile) {
    if (GetACP() != 1252)
        GTEST_SKIP() << "the expected bytes are those of code page 1252, this system has "
                     << GetACP();
    win32::Win32Files files;
    const ScratchFolder dir;
    const std::wstring path = dir / L"brisklet.sc";
    WriteBytes(path, std::string(500, 'o') + "\r\nold tail\r\n");

    files.WriteNewAnsiTextFile(win32::Narrow(path), "Ü\r\n");
    EXPECT_EQ(ReadBytes(path), "\xDC\r\n");

    files.WriteNewAnsiTextFile(win32::Narrow(path), "Index.Field(\"Straße\") = Clipboard\r\n\r\n");
    EXPECT_EQ(ReadBytes(path),
              "Index.Field(\"Stra\xDF"
              "e\") = Clipboard\r\n\r\n")
        << "never appended";

    files.WriteNewAnsiTextFile(win32::Narrow(path), "");
    EXPECT_EQ(ReadBytes(path), "");

    // A look-alike ("＂" would become '"') or a "?" would be other text: nothing is written.
    EXPECT_TRUE(files.IsExactInAnsi("Index.Field(\"Straße\")"));
    WriteBytes(path, "old\r\n");
    for (const char* text : {"Index.Field(\"Vendor \xEF\xBC\x82Nr\xEF\xBC\x82\")\r\n",
                             "\xC5\x81\xC3\xB3"
                             "d\xC5\xBA\r\n"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(files.IsExactInAnsi(text));
        EXPECT_THROW(files.WriteNewAnsiTextFile(win32::Narrow(path), text), Error);
        EXPECT_EQ(ReadBytes(path), "old\r\n");
    }
}

// The plain-file test does not see hidden or system files, so such an old
// script is never deleted first; writing must still replace it.
TEST(Win32FilesTest, HiddenOrSystemOldFilesAreReplacedToo) {
    win32::Win32Files files;
    const ScratchFolder dir;
    for (const DWORD attributes : {DWORD{FILE_ATTRIBUTE_HIDDEN}, DWORD{FILE_ATTRIBUTE_SYSTEM},
                                   DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM}}) {
        const auto path = dir / L"brisklet.sc";
        WriteBytes(path, "old body\r\nold body\r\n");
        ASSERT_TRUE(SetFileAttributesW(path.c_str(), attributes)) << LastErrorText();
        files.WriteNewAnsiTextFile(win32::Narrow(path), "new\r\n");
        EXPECT_EQ(ReadBytes(path), "new\r\n") << "attributes " << attributes;
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
    }
}

TEST(Win32FilesTest, WritingIntoAMissingFolderOrOverAFolderFailsWithTheReason) {
    win32::Win32Files files;
    const ScratchFolder dir;
    ASSERT_TRUE(CreateDirectoryW((dir / L"folder.sc").c_str(), nullptr)) << LastErrorText();
    const struct {
        const wchar_t* name;
        DWORD code;
    } cases[] = {{L"missing folder\\brisklet.sc", ERROR_PATH_NOT_FOUND},
                 {L"folder.sc", ERROR_ACCESS_DENIED}};
    for (const auto& c : cases) {
        try {
            files.WriteNewAnsiTextFile(dir.Utf8(c.name), "Sub main()\r\n");
            ADD_FAILURE() << "writing " << win32::Narrow(c.name) << " succeeded";
        } catch (const win32::Win32Error& e) {
            EXPECT_NE(std::string(e.what()).find(dir.Utf8(c.name)), std::string::npos) << e.what();
            EXPECT_EQ(e.code(), c.code) << e.what();
        }
    }
    EXPECT_EQ(GetFileAttributesW((dir / L"missing folder").c_str()), INVALID_FILE_ATTRIBUTES)
        << "no folder is created on the way";

    // The script is written beside its name first; a failed write leaves nothing there.
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW((dir / L"*").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE) << LastErrorText();
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    EXPECT_EQ(names, std::vector<std::wstring>{L"folder.sc"});
}

// Another user of the shared folder can plant a link at the script's name;
// the script replaces the link and never lands in the file it points at.
TEST(Win32FilesTest, ALinkAtTheNameIsReplacedNotWrittenThrough) {
    win32::Win32Files files;
    const ScratchFolder dir;
    const std::wstring victim = dir / L"victim.txt";
    const std::wstring name = dir / L"brisklet.sc";
    WriteBytes(victim, "precious\r\n");
    SetLastError(kSentinel);
    if (!CreateSymbolicLinkW(name.c_str(), victim.c_str(), 0))
        GTEST_SKIP() << "this system makes no symbolic links here: " << LastErrorText();
    ASSERT_NE(GetFileAttributesW(name.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT, 0u) << "not a link";

    files.WriteNewAnsiTextFile(win32::Narrow(name), "Sub main()\r\n");
    EXPECT_EQ(ReadBytes(victim), "precious\r\n") << "written through the link";
    EXPECT_EQ(ReadBytes(name), "Sub main()\r\n");
    EXPECT_EQ(GetFileAttributesW(name.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT, 0u)
        << "the link is still there";
}

TEST(Win32FilesTest, DeleteRemovesTheFileAndThrowsWhenItCannot) {
    win32::Win32Files files;
    const ScratchFolder dir;
    WriteBytes(dir / L"old.sc", "x");
    files.Delete(dir.Utf8(L"old.sc"));
    EXPECT_EQ(GetFileAttributesW((dir / L"old.sc").c_str()), INVALID_FILE_ATTRIBUTES);

    EXPECT_EQ(Win32ErrorCode([&] { files.Delete(dir.Utf8(L"old.sc")); }),
              static_cast<DWORD>(ERROR_FILE_NOT_FOUND))
        << "already gone";

    WriteBytes(dir / L"readonly.sc", "x");
    ASSERT_TRUE(SetFileAttributesW((dir / L"readonly.sc").c_str(), FILE_ATTRIBUTE_READONLY))
        << LastErrorText();
    EXPECT_EQ(Win32ErrorCode([&] { files.Delete(dir.Utf8(L"readonly.sc")); }),
              static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_NE(GetFileAttributesW((dir / L"readonly.sc").c_str()), INVALID_FILE_ATTRIBUTES);

    // Another program has it open without allowing deletion (a runner still reading it).
    WriteBytes(dir / L"busy.sc", "x");
    {
        const win32::UniqueFile busy(CreateFileW((dir / L"busy.sc").c_str(), GENERIC_READ,
                                                 FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                                 nullptr));
        ASSERT_TRUE(busy) << LastErrorText();
        EXPECT_EQ(Win32ErrorCode([&] { files.Delete(dir.Utf8(L"busy.sc")); }),
                  static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    }
    EXPECT_NE(GetFileAttributesW((dir / L"busy.sc").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace vantrel
