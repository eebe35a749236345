#pragma once

// The about box's logic, apart from its window: its texts and the System
// Information button.

#include <cstdint>
#include <string>
#include <string_view>

#include "resources/resource.h"

namespace vantrel::frmAbout {

// One source for the label and the version resource.
constexpr int kVersionMajor = VANTREL_VERSION_MAJOR;
constexpr int kVersionMinor = VANTREL_VERSION_MINOR;
constexpr int kVersionRevision = VANTREL_VERSION_REVISION;

// Read access: the lookups only read, and asking for more fails for users
// without administrator rights.
constexpr std::uint32_t kKeyRead = 0x20019;
constexpr std::uint32_t kValueBufferSize = 1024;

constexpr std::string_view kMsinfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr std::string_view kToolsLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr std::string_view kUnavailableMessage = "System Information Is Unavailable At This Time";

std::string Caption();      // "About Vantrel"
std::string TitleText();    // "Vantrel"
std::string VersionText();  // "Version 1.0.26"

// Starts the System Information program found through the registry; shows a
// box when it cannot. Never throws.
void StartSysInfo();

// Reads the value `valueName` of the key `keyName` under HKEY_LOCAL_MACHINE
// into `keyValue`: text as stored (one terminating NUL dropped), a DWORD as
// "&h" and its hexadecimal bytes without a zero top byte, any other type
// leaves `keyValue` as it was.
// False with an empty `keyValue` when the key or value cannot be read; throws
// Error for a value of zero bytes.
bool GetKeyValue(std::string_view keyName, std::string_view valueName, std::string& keyValue);

}  // namespace vantrel::frmAbout
