#include "platform/win32/Win32Files.h"

#include "platform/Error.h"

namespace vantrel::win32 {

bool Win32Files::IsPlainFile(std::string_view /*path*/) { throw Error("Win32Files::IsPlainFile is not implemented yet"); }

void Win32Files::Delete(std::string_view /*path*/) { throw Error("Win32Files::Delete is not implemented yet"); }

void Win32Files::WriteNewAnsiTextFile(std::string_view /*path*/, std::string_view /*text*/) { throw Error("Win32Files::WriteNewAnsiTextFile is not implemented yet"); }


}  // namespace vantrel::win32
