#include "platform/win32/Win32Processes.h"

#include <windows.h>

#include <string>
#include <vector>

#include "platform/Error.h"
#include "platform/win32/Unicode.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Error.h"

namespace vantrel::win32 {

namespace {

// "C:\..." or "\\server\...": a relative name would be completed from the
// current folder, which is not ours to trust.
bool IsAbsolute(std::wstring_view path) {
    const bool drive = path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
    const bool unc = path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\';
    return drive || unc;
}

}  // namespace

void Win32Processes::Start(std::string_view program, std::string_view commandLine, ShowState show) {
    // The program is named separately: otherwise Windows would split an unquoted
    // path with spaces and might start "C:\program.exe" instead.
    const std::wstring application = Widen(program);
    if (!IsAbsolute(application))
        throw Error("Starting " + std::string(program) + " failed: the path is not a full path");
    // The program starts in its own folder, not in ours: a portable copy of
    // ours may sit in a downloads folder beside libraries planted there.
    const std::wstring folder = application.substr(0, application.find_last_of(L"\\/") + 1);
    // CreateProcessW may write into the command line, so it gets its own copy.
    const std::wstring wide = Widen(commandLine);
    std::vector<wchar_t> line(wide.begin(), wide.end());
    line.push_back(L'\0');

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(show);  // the ShowState values are the SW_ values
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(application.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &info)) {
        ThrowWin32("Starting " + std::string(program), GetLastError());
    }
    const UniqueHandleObj process(info.hProcess);
    const UniqueHandleObj thread(info.hThread);
}

}  // namespace vantrel::win32
