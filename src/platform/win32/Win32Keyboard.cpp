#include "platform/win32/Win32Keyboard.h"

#include "platform/Error.h"

namespace vantrel::win32 {

bool Win32Keyboard::IsKeyDown(int /*vk*/) { throw Error("Win32Keyboard::IsKeyDown is not implemented yet"); }

void Win32Keyboard::Send(const std::vector<KeyEvent>& /*events*/) { throw Error("Win32Keyboard::Send is not implemented yet"); }


}  // namespace vantrel::win32
