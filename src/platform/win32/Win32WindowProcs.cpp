#include "platform/win32/Win32WindowProcs.h"

#include "platform/Error.h"

namespace vantrel::win32 {

ProcAddress Win32WindowProcs::AddressOf(PortableWndProc /*proc*/) { throw Error("Win32WindowProcs::AddressOf is not implemented yet"); }

ProcAddress Win32WindowProcs::Install(WindowHandle /*window*/, ProcAddress /*proc*/) { throw Error("Win32WindowProcs::Install is not implemented yet"); }

std::intptr_t Win32WindowProcs::CallProc(ProcAddress /*proc*/, WindowHandle /*window*/, std::uint32_t /*message*/, std::uintptr_t /*wParam*/, std::intptr_t /*lParam*/) { throw Error("Win32WindowProcs::CallProc is not implemented yet"); }


}  // namespace vantrel::win32
