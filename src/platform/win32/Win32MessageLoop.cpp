#include "platform/win32/Win32MessageLoop.h"

#include "platform/Error.h"

namespace vantrel::win32 {

void Win32MessageLoop::ProcessPending() { throw Error("Win32MessageLoop::ProcessPending is not implemented yet"); }

bool Win32MessageLoop::PumpUntil(const std::function<bool()>& /*done*/, std::optional<std::chrono::milliseconds> /*bound*/) { throw Error("Win32MessageLoop::PumpUntil is not implemented yet"); }


}  // namespace vantrel::win32
