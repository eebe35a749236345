// The built program's own protections, read from its file without loading it:
// address-space randomisation and no-execute data, a GUI subsystem, and no
// DLLs beyond the system's own (the C++ runtime is linked in, so nothing
// can be planted beside the program in its place).

#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "Win32TestSupport.h"
#include "platform/win32/UniqueHandle.h"

namespace vantrel::testing {
namespace {

// The program is built into the test binary's own folder.
std::wstring ProgramBesideTests() {
    std::wstring module(MAX_PATH, L'\0');
    module.resize(GetModuleFileNameW(nullptr, module.data(), MAX_PATH));
    return module.substr(0, module.find_last_of(L'\\') + 1) + L"vantrel.exe";
}

std::vector<std::uint8_t> ReadWholeFile(const std::wstring& path) {
    const win32::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return {};
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > 64 * 1024 * 1024)
        return {};
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        return {};
    bytes.resize(read);
    return bytes;
}

// The headers of one image file, every read checked against the file's end.
class PeImage {
  public:
    explicit PeImage(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

    // False when the file is no PE image this reader understands.
    bool Parse() {
        IMAGE_DOS_HEADER dos{};
        if (!Read(0, dos) || dos.e_magic != IMAGE_DOS_SIGNATURE)
            return false;
        const auto nt = static_cast<std::size_t>(dos.e_lfanew);
        DWORD signature = 0;
        if (!Read(nt, signature) || signature != IMAGE_NT_SIGNATURE)
            return false;
        if (!Read(nt + sizeof signature, file_))
            return false;
        const std::size_t optional = nt + sizeof signature + sizeof file_;
        WORD magic = 0;
        if (!Read(optional, magic))
            return false;
        if (magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC) {
            IMAGE_OPTIONAL_HEADER64 h{};
            if (!Read(optional, h))
                return false;
            Take(h);
            is64_ = true;
        } else if (magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC) {
            IMAGE_OPTIONAL_HEADER32 h{};
            if (!Read(optional, h))
                return false;
            Take(h);
        } else {
            return false;
        }
        std::size_t at = optional + file_.SizeOfOptionalHeader;
        for (WORD i = 0; i < file_.NumberOfSections; ++i, at += sizeof(IMAGE_SECTION_HEADER)) {
            IMAGE_SECTION_HEADER s{};
            if (!Read(at, s))
                return false;
            sections_.push_back(s);
        }
        return true;
    }

    bool Is64() const { return is64_; }
    WORD Characteristics() const { return file_.Characteristics; }
    WORD Subsystem() const { return subsystem_; }
    WORD DllCharacteristics() const { return dllCharacteristics_; }
    IMAGE_DATA_DIRECTORY Directory(int index) const {
        return index < static_cast<int>(directories_.size()) ? directories_[index]
                                                             : IMAGE_DATA_DIRECTORY{};
    }

    // Each imported DLL with the names it imports by name; nothing when the
    // table cannot be read.
    struct Import {
        std::string dll;
        std::vector<std::string> functions;
    };
    std::optional<std::vector<Import>> Imports() const {
        std::vector<Import> out;
        const IMAGE_DATA_DIRECTORY dir = Directory(IMAGE_DIRECTORY_ENTRY_IMPORT);
        if (dir.VirtualAddress == 0)
            return out;
        for (DWORD rva = dir.VirtualAddress;; rva += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
            IMAGE_IMPORT_DESCRIPTOR d{};
            if (!ReadRva(rva, d))
                return std::nullopt;
            if (d.Name == 0)
                break;
            Import import;
            if (!Text(d.Name, import.dll))
                return std::nullopt;
            const DWORD thunks = d.OriginalFirstThunk != 0 ? d.OriginalFirstThunk : d.FirstThunk;
            if (!Functions(thunks, import.functions))
                return std::nullopt;
            out.push_back(std::move(import));
        }
        return out;
    }

    // Whether the file holds these bytes anywhere, e.g. a name looked up at run time.
    bool Holds(const std::string& text) const {
        return std::search(bytes_.begin(), bytes_.end(), text.begin(), text.end()) != bytes_.end();
    }

  private:
    template <class T>
    bool Read(std::size_t offset, T& into) const {
        if (offset > bytes_.size() || bytes_.size() - offset < sizeof(T))
            return false;
        std::memcpy(&into, bytes_.data() + offset, sizeof(T));
        return true;
    }

    std::optional<std::size_t> OffsetOf(DWORD rva) const {
        for (const IMAGE_SECTION_HEADER& s : sections_) {
            const DWORD size = std::max(s.Misc.VirtualSize, s.SizeOfRawData);
            if (rva >= s.VirtualAddress && rva - s.VirtualAddress < size)
                return static_cast<std::size_t>(s.PointerToRawData) + (rva - s.VirtualAddress);
        }
        return std::nullopt;
    }

    template <class T>
    bool ReadRva(DWORD rva, T& into) const {
        const auto offset = OffsetOf(rva);
        return offset && Read(*offset, into);
    }

    bool Text(DWORD rva, std::string& into) const {
        const auto offset = OffsetOf(rva);
        if (!offset || *offset >= bytes_.size())
            return false;
        const auto begin = bytes_.begin() + static_cast<std::ptrdiff_t>(*offset);
        const auto end = std::find(begin, bytes_.end(), 0);
        if (end == bytes_.end())
            return false;
        into.assign(begin, end);
        return true;
    }

    bool Functions(DWORD rva, std::vector<std::string>& into) const {
        for (;; rva += is64_ ? 8 : 4) {
            std::uint64_t thunk = 0;
            if (is64_) {
                if (!ReadRva(rva, thunk))
                    return false;
            } else {
                std::uint32_t t = 0;
                if (!ReadRva(rva, t))
                    return false;
                thunk = t;
            }
            if (thunk == 0)
                return true;
            const std::uint64_t byOrdinal = is64_ ? IMAGE_ORDINAL_FLAG64 : IMAGE_ORDINAL_FLAG32;
            if ((thunk & byOrdinal) != 0)
                continue;
            std::string name;  // after the two bytes of the hint
            if (!Text(static_cast<DWORD>(thunk) + 2, name))
                return false;
            into.push_back(std::move(name));
        }
    }

    template <class Header>
    void Take(const Header& h) {
        subsystem_ = h.Subsystem;
        dllCharacteristics_ = h.DllCharacteristics;
        const DWORD count =
            std::min<DWORD>(h.NumberOfRvaAndSizes, IMAGE_NUMBEROF_DIRECTORY_ENTRIES);
        directories_.assign(h.DataDirectory, h.DataDirectory + count);
    }

    std::vector<std::uint8_t> bytes_;
    IMAGE_FILE_HEADER file_{};
    bool is64_ = false;
    WORD subsystem_ = 0;
    WORD dllCharacteristics_ = 0;
    std::vector<IMAGE_DATA_DIRECTORY> directories_;
    std::vector<IMAGE_SECTION_HEADER> sections_;
};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// What Windows itself provides; anything else (libstdc++-6.dll,
// libgcc_s_seh-1.dll, libwinpthread-1.dll...) would be looked for beside
// the program.
bool IsSystemDll(const std::string& dll) {
    const std::string name = Lower(dll);
    static const char* const kSystem[] = {"kernel32.dll", "user32.dll",   "gdi32.dll",
                                          "shell32.dll",  "advapi32.dll", "comctl32.dll",
                                          "msvcrt.dll"};
    return std::any_of(std::begin(kSystem), std::end(kSystem),
                       [&](const char* s) { return name == s; }) ||
           name.starts_with("api-ms-win-");
}

class PeHeaderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::wstring path = ProgramBesideTests();
        if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
            GTEST_SKIP() << "vantrel.exe is not built beside the tests (" << win32::Narrow(path)
                         << ")";
        std::vector<std::uint8_t> bytes = ReadWholeFile(path);
        ASSERT_FALSE(bytes.empty())
            << "cannot read " << win32::Narrow(path) << ": " << LastErrorText();
        image_.emplace(std::move(bytes));
        ASSERT_TRUE(image_->Parse()) << "vantrel.exe is not a PE image this test can read";
    }

    std::optional<PeImage> image_;
};

TEST_F(PeHeaderTest, RandomisedNonExecutableDataGuiProgram) {
    const WORD flags = image_->DllCharacteristics();
    EXPECT_NE(flags & IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE, 0) << "no ASLR";
    EXPECT_NE(flags & IMAGE_DLLCHARACTERISTICS_NX_COMPAT, 0) << "data pages executable";
    if (image_->Is64()) {
        EXPECT_NE(flags & IMAGE_DLLCHARACTERISTICS_HIGH_ENTROPY_VA, 0) << "low-entropy ASLR";
    } else {
        // On 64-bit Windows a 32-bit program may then use 4 GB instead of 2.
        EXPECT_NE(image_->Characteristics() & IMAGE_FILE_LARGE_ADDRESS_AWARE, 0)
            << "not large-address aware";
    }
    // The program is the same build as these tests: a 32-bit test run checks the 32-bit program.
    EXPECT_EQ(image_->Is64(), sizeof(void*) == 8);
    // Without relocations the loader cannot move the image, whatever the flag says.
    const IMAGE_DATA_DIRECTORY relocations = image_->Directory(IMAGE_DIRECTORY_ENTRY_BASERELOC);
    EXPECT_NE(relocations.VirtualAddress, 0u);
    EXPECT_GT(relocations.Size, 0u);
    EXPECT_EQ(image_->Subsystem(), IMAGE_SUBSYSTEM_WINDOWS_GUI);
}

TEST_F(PeHeaderTest, ImportsOnlySystemDllsAndNarrowsTheDllSearch) {
    const auto imports = image_->Imports();
    ASSERT_TRUE(imports) << "the import table cannot be read";
    std::string listed;
    for (const PeImage::Import& i : *imports) {
        listed += i.dll + " ";
        EXPECT_TRUE(IsSystemDll(i.dll))
            << i.dll << " is not a system DLL: the runtime is not linked in";
        // A Windows 7 without its 2011 loader update lacks it, and would refuse to start
        // a program importing it.
        EXPECT_EQ(std::count(i.functions.begin(), i.functions.end(), "SetDefaultDllDirectories"), 0)
            << "SetDefaultDllDirectories is imported from " << i.dll;
    }
    // Looked up at run time instead (the name with its terminator, as GetProcAddress takes it).
    EXPECT_TRUE(image_->Holds(std::string("SetDefaultDllDirectories") + '\0'))
        << "the program does not narrow the DLL search";
    // Delay-loaded DLLs would be found the same way, later.
    EXPECT_EQ(image_->Directory(IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT).VirtualAddress, 0u);
    RecordProperty("imports", listed);
}

}  // namespace
}  // namespace vantrel::testing
