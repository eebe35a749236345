#include "platform/win32/Win32Files.h"

#include <windows.h>
#include <ntsecapi.h>
#include <sddl.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "platform/Error.h"
#include "platform/Log.h"
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
// inherits from the folder. Throws when the user cannot be named.
std::wstring ReplaceableByUsers() {
    UniqueHandleObj token;
    CheckLastError(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put()),
                   "OpenProcessToken");
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    ThrowLastErrorIf(
        size == 0 || !GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size),
        "GetTokenInformation");
    UniqueHlocal sid;
    CheckLastError(ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid,
                                          reinterpret_cast<wchar_t**>(sid.put())),
                   "ConvertSidToStringSid");
    return L"D:(A;;FA;;;" + std::wstring(static_cast<const wchar_t*>(sid.get())) +
           L")(A;;FRSD;;;BU)";
}

// The rules above, as the new file's descriptor. A file written without them
// has the folder's rules alone, which may keep the next user from replacing
// it: the log says so, and why.
UniqueHlocal RulesForNewFile() {
    UniqueHlocal descriptor;
    try {
        CheckLastError(
            ConvertStringSecurityDescriptorToSecurityDescriptorW(
                ReplaceableByUsers().c_str(), SDDL_REVISION_1, descriptor.put(), nullptr),
            "ConvertStringSecurityDescriptorToSecurityDescriptor");
    } catch (const Win32Error&) {
        LogCaught("new file given its folder's access rules alone");
    }
    return descriptor;
}

std::wstring FolderOf(const std::wstring& path) {
    const auto slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
}

// A name of its own beside the target that no one can guess and plant first.
// CREATE_NEW never opens anything that is already there, a link included.
// Opened for no one else, and with the right to rename it through the handle.
UniqueFile CreateTemporaryBeside(const std::wstring& target, std::string_view path) {
    const UniqueHlocal rules = RulesForNewFile();
    SECURITY_ATTRIBUTES security{sizeof security, rules.get(), FALSE};
    const std::wstring folder = FolderOf(target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        unsigned char random[16] = {};
        // The system's generator without the cryptography provider's libraries,
        // which add megabytes to the program's memory under Wine.
        if (!RtlGenRandom(random, sizeof random))
            throw Error("Creating " + std::string(path) + " failed: no random name could be made");
        std::wstring name = folder + L"\\~vantrel-";
        for (const unsigned char byte : random) {
            name += L"0123456789abcdef"[byte >> 4];
            name += L"0123456789abcdef"[byte & 15];
        }
        name += L".tmp";
        UniqueFile file(CreateFileW(name.c_str(), GENERIC_WRITE | DELETE, 0, &security, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file)
            return file;
        ThrowLastErrorIf(GetLastError() != ERROR_FILE_EXISTS, "Creating " + std::string(path));
    }
    ThrowWin32("Creating " + std::string(path), ERROR_FILE_EXISTS);
}

// Removed when its handle closes. Where the system refuses, the file stays in
// the shared folder, which the log says.
void RemoveOnClose(HANDLE file) noexcept {
    FILE_DISPOSITION_INFO gone{TRUE};
    if (!SetFileInformationByHandle(file, FileDispositionInfo, &gone, sizeof gone))
        LogWin32Failure("a temporary ~vantrel-*.tmp file was left behind",
                        "SetFileInformationByHandle", GetLastError());
}

void WriteAll(HANDLE file, const std::string& bytes, std::string_view path) {
    DWORD written = 0;
    ThrowLastErrorIf(
        !bytes.empty() &&
            !WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr),
        "Writing " + std::string(path));
    if (written != bytes.size())
        throw Error("Writing " + std::string(path) + " failed: only " + std::to_string(written) +
                    " of " + std::to_string(bytes.size()) + " bytes were written");
}

// A rename replaces whatever is at the name, a symbolic link included, instead
// of writing through it to the file it points at. A link to a folder (a
// junction) cannot be replaced by a file; removing the link itself leaves its
// target alone.
void ReplaceTarget(HANDLE file, const std::wstring& target, std::string_view path) {
    if (RenameOver(file, target))
        return;
    const DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 ||
        (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || !RemoveDirectoryW(target.c_str()) ||
        !RenameOver(file, target))
        ThrowWin32("Replacing " + std::string(path), error);
}

}  // namespace

// Written to a new file beside the target and moved over the name, so a reader
// never sees half a script. The file stays open, for no one else, until it
// has its name.
void Win32Files::WriteNewAnsiTextFile(std::string_view path, std::string_view text) {
    // A character the code page lacks would reach the file as a look-alike or a
    // "?": nothing is written rather than other text.
    const std::optional<std::string> ansi = ToAnsiExact(text);
    if (!ansi)
        throw Error("Writing " + std::string(path) +
                    " failed: the text holds characters that this system's code page cannot hold");
    const std::wstring target = Widen(path);
    const UniqueFile file = CreateTemporaryBeside(target, path);
    ScopeExit leftover([&] { RemoveOnClose(file.get()); });
    WriteAll(file.get(), *ansi, path);
    // On the disk before it has the name, so a crash cannot leave the name empty.
    ThrowLastErrorIf(!FlushFileBuffers(file.get()), "Writing " + std::string(path));
    ReplaceTarget(file.get(), target, path);
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
