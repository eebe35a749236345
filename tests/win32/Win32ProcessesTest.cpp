#include <windows.h>
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>

#include "Win32TestSupport.h"
#include "platform/Error.h"
#include "platform/win32/Win32Processes.h"

namespace vantrel {
namespace {

using testing::LastErrorText;
using testing::ScratchFolder;

// A copy of this test binary started with this variable set acts as the child:
// it records how it was started and exits before the tests run.
constexpr wchar_t kReportVariable[] = L"VANTREL_TEST_CHILD_REPORT";

struct ChildReport {
    std::wstring module;
    std::wstring commandLine;
    DWORD flags = 0;
    WORD show = 0;
    std::wstring folder;  // the current folder it was started in
};

std::wstring Environment(const wchar_t* name) {
    wchar_t value[MAX_PATH * 2] = {};
    const DWORD n = GetEnvironmentVariableW(name, value, static_cast<DWORD>(std::size(value)));
    return n > 0 && n < std::size(value) ? value : L"";
}

// Module path, flags, show state, current folder and command line, one per line; written
// under another name and renamed, so the parent never reads half a report.
[[maybe_unused]] const bool gChildMode = [] {
    const std::wstring report = Environment(kReportVariable);
    if (report.empty())
        return false;
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    wchar_t folder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, folder);
    const std::wstring text = std::wstring(module) + L"\n" + std::to_wstring(startup.dwFlags) +
                              L"\n" + std::to_wstring(startup.wShowWindow) + L"\n" + folder +
                              L"\n" + GetCommandLineW();
    const std::wstring partial = report + L".partial";
    if (win32::UniqueFile file(
            CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        file) {
        DWORD written = 0;
        WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)),
                  &written, nullptr);
        file.reset();
        MoveFileExW(partial.c_str(), report.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    ExitProcess(0);
}();

std::wstring ThisBinary() {
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    return module;
}

// Sets the report variable for the children started meanwhile.
class ChildReportScope {
  public:
    explicit ChildReportScope(std::wstring path) : path_(std::move(path)) {
        SetEnvironmentVariableW(kReportVariable, path_.c_str());
    }
    ~ChildReportScope() { SetEnvironmentVariableW(kReportVariable, nullptr); }
    ChildReportScope(const ChildReportScope&) = delete;
    ChildReportScope& operator=(const ChildReportScope&) = delete;

    // Waits for the child's report (Start does not wait for the child).
    std::optional<ChildReport> Await() const {
        if (!testing::PumpMessagesUntil(
                [&] { return GetFileAttributesW(path_.c_str()) != INVALID_FILE_ATTRIBUTES; },
                std::chrono::seconds(30)))
            return std::nullopt;
        const std::string bytes = testing::ReadBytes(path_);
        std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
        std::memcpy(text.data(), bytes.data(), text.size() * sizeof(wchar_t));
        ChildReport r;
        std::size_t at = 0;
        auto line = [&] {
            const std::size_t end = text.find(L'\n', at);
            std::wstring piece = text.substr(at, end - at);
            at = end + 1;
            return piece;
        };
        r.module = line();
        r.flags = static_cast<DWORD>(std::stoul(line()));
        r.show = static_cast<WORD>(std::stoul(line()));
        r.folder = line();
        r.commandLine = text.substr(at);
        return r;
    }

  private:
    std::wstring path_;
};

void CopyThisBinaryTo(const std::wstring& path) {
    ASSERT_TRUE(CopyFileW(ThisBinary().c_str(), path.c_str(), FALSE))
        << "copy to " << win32::Narrow(path) << ": " << LastErrorText();
}

TEST(Win32ProcessesTest, HandsTheCommandLineOverByteForByteWithTheChosenWindowState) {
    win32::Win32Processes processes;
    const ScratchFolder dir;
    ASSERT_TRUE(CreateDirectoryW((dir / L"tallowin scripts").c_str(), nullptr)) << LastErrorText();
    const std::wstring program = dir / L"tallowin scripts\\brisklet.exe";
    CopyThisBinaryTo(program);

    struct Case {
        std::wstring arguments;
        ShowState show;
        WORD expectedShow;
    };
    // clang-format off
    const Case cases[] = {
        {L" Index=AP;Criteria=InvoiceNo='A-17'",                  ShowState::MinimizedFocus, SW_SHOWMINIMIZED},
        {L" Index=AP;Criteria=Name='O'Brien; \"x\"  two  spaces'", ShowState::MinimizedFocus, SW_SHOWMINIMIZED},
        {L" Index=;Criteria=Straße='Łódź €'",                     ShowState::NormalFocus,    SW_SHOWNORMAL},
        {L" " + dir / L"tallowin scripts\\brisklet.sc",            ShowState::MinimizedFocus, SW_SHOWMINIMIZED},
    };
    // clang-format on
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(win32::Narrow(c.arguments));
        const ChildReportScope report(dir / (L"report" + std::to_wstring(++n)));
        // The program's path unquoted, with its spaces, as the runner's command lines have it.
        const std::wstring commandLine = program + c.arguments;
        processes.Start(win32::Narrow(program), win32::Narrow(commandLine), c.show);
        const auto child = report.Await();
        ASSERT_TRUE(child) << "the child never reported";
        EXPECT_EQ(win32::Narrow(child->commandLine), win32::Narrow(commandLine));
        EXPECT_TRUE(child->flags & STARTF_USESHOWWINDOW) << "flags " << child->flags;
        EXPECT_EQ(child->show, c.expectedShow);
        EXPECT_EQ(lstrcmpiW(child->module.c_str(), program.c_str()), 0)
            << win32::Narrow(child->module);
        // Never ours, which may be a downloads folder with planted libraries.
        EXPECT_EQ(lstrcmpiW(child->folder.c_str(), (dir / L"tallowin scripts").c_str()), 0)
            << win32::Narrow(child->folder);
    }
}

TEST(Win32ProcessesTest, AProgramNamedByTheFirstWordOfAPathWithSpacesIsNotStartedInstead) {
    win32::Win32Processes processes;
    const ScratchFolder dir;
    ASSERT_TRUE(CreateDirectoryW((dir / L"program files").c_str(), nullptr)) << LastErrorText();
    const std::wstring program = dir / L"program files\\brisklet.exe";
    const std::wstring decoy =
        dir / L"program.exe";  // what "...\program files\..." would start unquoted
    CopyThisBinaryTo(program);
    CopyThisBinaryTo(decoy);

    const ChildReportScope report(dir / L"report");
    processes.Start(win32::Narrow(program), win32::Narrow(program + L" Index=AP"),
                    ShowState::MinimizedFocus);
    const auto child = report.Await();
    ASSERT_TRUE(child) << "the child never reported";
    EXPECT_EQ(lstrcmpiW(child->module.c_str(), program.c_str()), 0)
        << "started " << win32::Narrow(child->module);
}

TEST(Win32ProcessesTest, AMissingProgramIsAnErrorNamingIt) {
    win32::Win32Processes processes;
    const ScratchFolder dir;
    const std::string missing = dir.Utf8(L"scripts\\brisklet.exe");
    try {
        processes.Start(missing, missing + " " + dir.Utf8(L"scripts\\brisklet.sc"),
                        ShowState::MinimizedFocus);
        ADD_FAILURE() << "started a program that does not exist";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find(missing), std::string::npos) << e.what();
    }
    // Not a program at all.
    testing::WriteBytes(dir / L"brisklet.exe", "Sub main()\r\n");
    EXPECT_THROW(processes.Start(dir.Utf8(L"brisklet.exe"), dir.Utf8(L"brisklet.exe"),
                                 ShowState::NormalFocus),
                 Error);
    // A relative path would be looked for in the current folder and elsewhere.
    CopyThisBinaryTo(dir / L"msinfo32.exe");
    const ChildReportScope report(dir / L"report");
    wchar_t current[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, current);
    SetCurrentDirectoryW(dir.path().c_str());
    EXPECT_THROW(processes.Start("msinfo32.exe", "msinfo32.exe", ShowState::NormalFocus), Error);
    SetCurrentDirectoryW(current);
}

}  // namespace
}  // namespace vantrel
