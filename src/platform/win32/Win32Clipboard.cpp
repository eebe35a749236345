#include "platform/win32/Win32Clipboard.h"

#include "platform/Error.h"

namespace vantrel::win32 {

void Win32Clipboard::Clear() { throw Error("Win32Clipboard::Clear is not implemented yet"); }

std::string Win32Clipboard::ReadText() { throw Error("Win32Clipboard::ReadText is not implemented yet"); }

std::uint32_t Win32Clipboard::SequenceNumber() { throw Error("Win32Clipboard::SequenceNumber is not implemented yet"); }


}  // namespace vantrel::win32
