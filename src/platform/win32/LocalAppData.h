#pragma once

#include <string>

namespace vantrel::win32 {

// The user's local application-data folder (%LOCALAPPDATA%), without a
// trailing backslash. Throws Error when the system cannot name it.
std::wstring LocalAppDataFolder();

}  // namespace vantrel::win32
