#include "platform/win32/Win32Processes.h"

#include "platform/Error.h"

namespace vantrel::win32 {

void Win32Processes::Start(std::string_view /*program*/, std::string_view /*commandLine*/, ShowState /*show*/) { throw Error("Win32Processes::Start is not implemented yet"); }


}  // namespace vantrel::win32
