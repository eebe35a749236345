#include "about/frmAbout.h"

#include <exception>
#include <optional>

#include "platform/Desktop.h"
#include "platform/Error.h"
#include "platform/Log.h"

namespace vantrel::frmAbout {

namespace {

constexpr const char* kTitle = "Vantrel";

// The command line repeats the program, quoted: the program itself is named
// apart, so the quotes cannot change what starts, and they keep a path with
// spaces ("C:\Program Files\...") from reaching the program as stray arguments.
std::string QuotedCommandLine(const std::string& path) {
    return "\"" + path + "\"";
}

// Which program starts, or nothing when none can be found.
std::optional<std::string> SysInfoPath() {
    std::string path;
    if (GetKeyValue(kMsinfoKey, "PATH", path))
        return path;  // started without a test
    if (!GetKeyValue(kToolsLocationKey, "MSINFO", path))
        return std::nullopt;
    path += "\\MSINFO32.EXE";
    if (!CurrentDesktop().files.IsPlainFile(path))
        return std::nullopt;
    return path;
}

}  // namespace

std::string Caption() {
    return std::string("About ") + kTitle;
}

std::string TitleText() {
    return kTitle;
}

std::string VersionText() {
    return "Version " + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + "." +
           std::to_string(kVersionRevision);
}

void StartSysInfo() {
    Desktop& d = CurrentDesktop();
    try {
        if (const std::optional<std::string> path = SysInfoPath()) {
            d.processes.Start(*path, QuotedCommandLine(*path), ShowState::NormalFocus);
            return;
        }
    } catch (const std::exception&) {
        // Any failure means the same to the user as a missing program.
        LogCaught("system information not started");
    }
    d.boxes.Show(kUnavailableMessage, kTitle, Modality::Application);
}

bool GetKeyValue(std::string_view keyName, std::string_view valueName, std::string& keyValue) {
    const std::optional<RegistryValue> value =
        CurrentDesktop().registry.QueryMachineValue(keyName, valueName, kKeyRead, kValueBufferSize);
    if (!value) {
        keyValue.clear();
        return false;
    }
    const std::vector<std::uint8_t>& data = value->data;
    if (data.empty())
        throw Error("Invalid procedure call or argument");
    std::string text(data.begin(), data.end());
    if (text.back() == '\0')
        text.pop_back();

    if (value->type == kRegSz) {
        keyValue = text;
    } else if (value->type == kRegDword) {
        // Little-endian bytes, most significant first. A zero top byte went
        // above as the "terminator", so only the bytes left are shown
        // ("&h00007B" for 0x7B): the form GetKeyValue promises its callers.
        constexpr char kHex[] = "0123456789ABCDEF";
        std::string hex = "&h";
        for (auto it = text.rbegin(); it != text.rend(); ++it) {
            const auto byte = static_cast<unsigned char>(*it);
            hex += kHex[byte >> 4];
            hex += kHex[byte & 0x0F];
        }
        keyValue = hex;
    }
    return true;
}

}  // namespace vantrel::frmAbout
