#include "platform/win32/LocalAppData.h"

#include <windows.h>
#include <shlobj.h>

#include "platform/Error.h"
#include "platform/win32/Win32Error.h"

namespace vantrel::win32 {

// Asked of the shell rather than read from the environment, which the
// program's starter may have changed.
std::wstring LocalAppDataFolder() {
    wchar_t folder[MAX_PATH] = {};
    CheckHresult(
        SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder),
        "SHGetFolderPath");
    if (folder[0] == L'\0')
        throw Error("The local application-data folder is unknown.");
    std::wstring path(folder);
    while (!path.empty() && path.back() == L'\\') path.pop_back();
    return path;
}

}  // namespace vantrel::win32
