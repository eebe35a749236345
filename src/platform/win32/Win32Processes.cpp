#include "platform/win32/Win32Processes.h"

#include <windows.h>

#include <string>
#include <vector>

#include "platform/Error.h"
#include "platform/win32/Unicode.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Error.h"

namespace vantrel::win32 {

void Win32Processes::Start(std::string_view program, std::string_view commandLine, ShowState show) {
    // The program is named separately: otherwise Windows would split an unquoted
    // path with spaces and might start "C:\program.exe" instead.
    const std::wstring application = Widen(program);
    // CreateProcessW may write into the command line, so it gets its own copy.
    const std::wstring wide = Widen(commandLine);
    std::vector<wchar_t> line(wide.begin(), wide.end());
    line.push_back(L'\0');

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(show);  // the ShowState values are the SW_ values
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(application.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        ThrowWin32("Starting " + std::string(program), GetLastError());
    }
    const UniqueHandleObj process(info.hProcess);
    const UniqueHandleObj thread(info.hThread);
}

}  // namespace vantrel::win32
