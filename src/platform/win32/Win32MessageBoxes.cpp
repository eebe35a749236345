#include "platform/win32/Win32MessageBoxes.h"

#include "platform/Error.h"

namespace vantrel::win32 {

void Win32MessageBoxes::Show(std::string_view /*text*/, std::string_view /*caption*/, Modality /*modality*/) { throw Error("Win32MessageBoxes::Show is not implemented yet"); }


}  // namespace vantrel::win32
