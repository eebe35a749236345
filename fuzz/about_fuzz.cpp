// The about box's registry decoding on a value of any type and bytes, and the
// System Information button on top of it.
//
// Input: one byte (bits 0-2 the value's type from kTypes; bit 3 puts the value
// where the folder of MSINFO32.EXE is looked up instead of the program's path;
// bit 4 makes that folder hold the program), then the value's bytes.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "about/frmAbout.h"
#include "fake/FakeDesktop.h"
#include "platform/Error.h"

namespace {

namespace frmAbout = vantrel::frmAbout;

constexpr std::array<std::uint32_t, 8> kTypes = {
    vantrel::kRegSz, vantrel::kRegDword, 0, 2, 3, 7, 11, 0xFFFFFFFFu};

std::string Expected(std::uint32_t type, const std::vector<std::uint8_t>& bytes,
                     const std::string& before) {
    std::string text(bytes.begin(), bytes.end());
    if (!text.empty() && text.back() == '\0')
        text.pop_back();
    if (type == vantrel::kRegSz)
        return text;
    if (type != vantrel::kRegDword)
        return before;
    constexpr char kHex[] = "0123456789ABCDEF";
    std::string hex = "&h";
    for (std::size_t i = text.size(); i-- > 0;) {
        hex += kHex[static_cast<unsigned char>(text[i]) / 16];
        hex += kHex[static_cast<unsigned char>(text[i]) % 16];
    }
    return hex;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::uint32_t type = kTypes[data[0] & 7u];
    const bool asFolder = (data[0] & 8u) != 0;
    const bool programThere = (data[0] & 16u) != 0;
    const vantrel::RegistryValue value{type, std::vector<std::uint8_t>(data + 1, data + size)};
    const std::string kPathValue = std::string(frmAbout::kMsinfoKey) + "\\PATH";
    const std::string kFolderValue = std::string(frmAbout::kToolsLocationKey) + "\\MSINFO";

    {
        vantrel::fake::FakeDesktop d;
        d.registry.values[kPathValue] = value;
        const std::string before = "before";
        std::string val = before;
        try {
            const bool found = frmAbout::GetKeyValue(frmAbout::kMsinfoKey, "PATH", val);
            FUZZ_CHECK(!value.data.empty());
            FUZZ_CHECK(found == (value.data.size() <= frmAbout::kValueBufferSize));
            FUZZ_CHECK(val == (found ? Expected(type, value.data, before) : std::string()));
        } catch (const vantrel::Error&) {
            FUZZ_CHECK(value.data.empty());
        }
    }

    // Whatever the registry holds, the button starts one program or shows one box.
    vantrel::fake::FakeDesktop d;
    d.registry.values[asFolder ? kFolderValue : kPathValue] = value;
    std::string stored;
    if (!value.data.empty() && value.data.size() <= frmAbout::kValueBufferSize)
        stored = Expected(type, value.data, "");
    const std::string program = asFolder ? stored + "\\MSINFO32.EXE" : stored;
    if (programThere)
        d.files.files[vantrel::fake::FakeFiles::Key(program)] = "";
    frmAbout::StartSysInfo();
    FUZZ_CHECK(d.processes.started.size() + d.boxes.shown.size() == 1);
    if (!d.processes.started.empty()) {
        FUZZ_CHECK(d.processes.started[0].program == program);
        FUZZ_CHECK(d.processes.started[0].commandLine == "\"" + program + "\"");
    } else {
        FUZZ_CHECK(d.boxes.shown[0].text == frmAbout::kUnavailableMessage);
    }
    return 0;
}
