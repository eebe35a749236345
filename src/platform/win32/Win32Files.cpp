#include "platform/win32/Win32Files.h"

#include <windows.h>
#include <ntsecapi.h>
#include <sddl.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "platform/Error.h"
#include "platform/ScopeExit.h"
#include "platform/win32/LocalAppData.h"
#include "platform/win32/Unicode.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Error.h"

namespace vantrel::win32 {

bool Win32Files::IsPlainFile(std::string_view path) {
    const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return false;
    return (attributes &
            (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
}

void Win32Files::Delete(std::string_view path) {
    CheckLastError(DeleteFileW(Widen(path).c_str()), "Deleting " + std::string(path));
}

namespace {

// The script's folder is shared by every user of the machine (users are given
// the right to add files there, nothing more). The file gets rules that let
// any user read and delete it, so that the next user, in another session, can
// replace it, and keep its writer in full control of it; everything else it
// inherits from the folder. Empty when the user cannot be named: the file then
// has the folder's rules alone.
std::wstring ReplaceableByUsers() {
    UniqueHandleObj token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put()))
        return {};
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    UniqueHlocal sid;
    if (size == 0 || !GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size) ||
        !ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid,
                                reinterpret_cast<wchar_t**>(sid.put())))
        return {};
    return L"D:(A;;FA;;;" + std::wstring(static_cast<const wchar_t*>(sid.get())) +
           L")(A;;FRSD;;;BU)";
}

std::wstring FolderOf(const std::wstring& path) {
    const auto slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
}

// A name of its own beside the target that no one can guess and plant first.
// CREATE_NEW never opens anything that is already there, a link included.
// Opened for no one else, and with the right to rename it through the handle.
UniqueFile CreateTemporaryBeside(const std::wstring& target, SECURITY_ATTRIBUTES* security) {
    const std::wstring folder = FolderOf(target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        unsigned char random[16] = {};
        // The system's generator without the cryptography provider's libraries,
        // which add megabytes to the program's memory under Wine.
        if (!RtlGenRandom(random, sizeof random))
            throw Error("Creating " + Narrow(target) + " failed: no random name could be made");
        std::wstring name = folder + L"\\~vantrel-";
        for (const unsigned char byte : random) {
            name += L"0123456789abcdef"[byte >> 4];
            name += L"0123456789abcdef"[byte & 15];
        }
        name += L".tmp";
        UniqueFile file(CreateFileW(name.c_str(), GENERIC_WRITE | DELETE, 0, security, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file || GetLastError() != ERROR_FILE_EXISTS)
            return file;
    }
    return UniqueFile();
}

}  // namespace

// Written to a new file beside the target and moved over the name: a rename
// replaces whatever is at the name, a symbolic link included, instead of
// writing through it to the file it points at; and a reader never sees half
// a script. The file stays open, for no one else, until it has its name.
void Win32Files::WriteNewAnsiTextFile(std::string_view path, std::string_view text) {
    // A character the code page lacks would reach the file as a look-alike or a
    // "?": nothing is written rather than other text.
    const std::optional<std::string> ansi = ToAnsiExact(text);
    if (!ansi)
        throw Error("Writing " + std::string(path) +
                    " failed: the text holds characters that this system's code page cannot hold");
    const std::wstring target = Widen(path);
    const std::string& bytes = *ansi;
    UniqueHlocal descriptor;
    SECURITY_ATTRIBUTES security{sizeof security, nullptr, FALSE};
    const std::wstring sddl = ReplaceableByUsers();
    if (!sddl.empty() && ConvertStringSecurityDescriptorToSecurityDescriptorW(
                             sddl.c_str(), SDDL_REVISION_1, descriptor.put(), nullptr))
        security.lpSecurityDescriptor = descriptor.get();
    const UniqueFile file = CreateTemporaryBeside(target, &security);
    ThrowLastErrorIf(!file, "Creating " + std::string(path));
    // Removed again, through the handle, unless it became the target.
    ScopeExit leftover([&] {
        FILE_DISPOSITION_INFO gone{TRUE};
        SetFileInformationByHandle(file.get(), FileDispositionInfo, &gone, sizeof gone);
    });
    DWORD written = 0;
    ThrowLastErrorIf(
        !bytes.empty() && !WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                     &written, nullptr),
        "Writing " + std::string(path));
    if (written != bytes.size())
        throw Error("Writing " + std::string(path) + " failed: only " + std::to_string(written) +
                    " of " + std::to_string(bytes.size()) + " bytes were written");
    // On the disk before it has the name, so a crash cannot leave the name empty.
    ThrowLastErrorIf(!FlushFileBuffers(file.get()), "Writing " + std::string(path));
    if (!RenameOver(file.get(), target)) {
        DWORD error = GetLastError();
        // A link to a folder (a junction) cannot be replaced by a file; removing
        // the link itself leaves its target alone.
        const DWORD attributes = GetFileAttributesW(target.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES &&
            (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
            (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && RemoveDirectoryW(target.c_str()) &&
            RenameOver(file.get(), target)) {
            error = ERROR_SUCCESS;
        }
        if (error != ERROR_SUCCESS)
            ThrowWin32("Replacing " + std::string(path), error);
    }
    leftover.release();
}

bool RenameOver(void* file, const std::wstring& target) {
    const std::size_t nameBytes = target.size() * sizeof(wchar_t);
    std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + nameBytes);
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    info->ReplaceIfExists = TRUE;
    info->RootDirectory = nullptr;
    info->FileNameLength = static_cast<DWORD>(nameBytes);
    std::copy(target.begin(), target.end(), info->FileName);
    return SetFileInformationByHandle(file, FileRenameInfo, info,
                                      static_cast<DWORD>(buffer.size())) != FALSE;
}

// Virtualization kept a per-user copy of C:\<path> at
// %LOCALAPPDATA%\VirtualStore\<path>.
bool Win32Files::RemoveVirtualStoreCopy(std::string_view path) {
    const std::wstring wide = Widen(path);
    if (wide.size() < 3 || wide[1] != L':' || wide[2] != L'\\')
        return false;
    const std::wstring copy = LocalAppDataFolder() + L"\\VirtualStore" + wide.substr(2);
    if (DeleteFileW(copy.c_str()))
        return true;
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
        return false;
    ThrowWin32("Deleting " + Narrow(copy), error);
}

bool Win32Files::IsExactInAnsi(std::string_view text) {
    return ToAnsiExact(text).has_value();
}

}  // namespace vantrel::win32
