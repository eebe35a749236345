#include "platform/win32/Win32GlobalAtoms.h"

#include <windows.h>

#include "platform/win32/Unicode.h"

namespace vantrel::win32 {

int Win32GlobalAtoms::Add(std::string_view name) {
    return GlobalAddAtomW(Widen(name).c_str());
}

void Win32GlobalAtoms::Delete(int atom) {
    GlobalDeleteAtom(static_cast<ATOM>(atom));
}

}  // namespace vantrel::win32
