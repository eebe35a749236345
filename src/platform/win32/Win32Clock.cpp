#include "platform/win32/Win32Clock.h"

#include "platform/Error.h"

namespace vantrel::win32 {

std::string Win32Clock::NowAsGeneralDate() { throw Error("Win32Clock::NowAsGeneralDate is not implemented yet"); }


}  // namespace vantrel::win32
