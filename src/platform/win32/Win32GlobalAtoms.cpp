#include "platform/win32/Win32GlobalAtoms.h"

#include "platform/Error.h"

namespace vantrel::win32 {

int Win32GlobalAtoms::Add(std::string_view /*name*/) { throw Error("Win32GlobalAtoms::Add is not implemented yet"); }

void Win32GlobalAtoms::Delete(int /*atom*/) { throw Error("Win32GlobalAtoms::Delete is not implemented yet"); }


}  // namespace vantrel::win32
