#include "platform/win32/Win32Processes.h"

#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/Error.h"
#include "platform/win32/Unicode.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Error.h"
#include "platform/win32/Win32MessageLoop.h"

namespace vantrel::win32 {

namespace {

// "C:\..." or "\\server\...": a relative name would be completed from the
// current folder, which is not ours to trust.
bool IsAbsolute(std::wstring_view path) {
    const bool drive = path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
    const bool unc = path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\';
    return drive || unc;
}

// Failures that say the program cannot be started as it stands; anything else
// (the system was short of something for a moment; Wine has been seen to say
// "Internal error" once in about a thousand starts) is worth one more try.
bool IsLasting(DWORD error) {
    constexpr DWORD kElevationRequired =
        740;  // ERROR_ELEVATION_REQUIRED, missing in MinGW's headers
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_ACCESS_DENIED:
        case ERROR_INVALID_NAME:
        case ERROR_DIRECTORY:
        case ERROR_BAD_EXE_FORMAT:
        case ERROR_EXE_MACHINE_TYPE_MISMATCH:
        case kElevationRequired:
            return true;
        default:
            return false;
    }
}

constexpr std::chrono::milliseconds kRetryRest{50};

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
    const std::wstring wide = Widen(commandLine);
    // Its handles are of no further use here, but are closed however this ends.
    UniqueProcessInformation info;
    const auto create = [&] {
        // CreateProcessW may write into the command line, so each try gets its own copy.
        std::vector<wchar_t> line(wide.begin(), wide.end());
        line.push_back(L'\0');
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = static_cast<WORD>(show);  // the ShowState values are the SW_ values
        return CreateProcessW(application.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              folder.c_str(), &startup, info.put()) != FALSE;
    };
    // A failed start started nothing, so one more try cannot start a second runner.
    bool started = create();
    if (!started && !IsLasting(GetLastError())) {
        Win32MessageLoop().PumpUntil([] { return false; }, kRetryRest);
        started = create();
    }
    ThrowLastErrorIf(!started, "Starting " + std::string(program));
}

}  // namespace vantrel::win32
