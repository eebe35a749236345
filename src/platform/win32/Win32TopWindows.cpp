#include "platform/win32/Win32TopWindows.h"

#include "platform/Error.h"

namespace vantrel::win32 {

void Win32TopWindows::ActivateByTitle(std::string_view /*title*/) { throw Error("Win32TopWindows::ActivateByTitle is not implemented yet"); }


}  // namespace vantrel::win32
