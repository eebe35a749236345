#pragma once

namespace vantrel::win32 {

// The program's message loop: runs while the main window or the about box is
// loaded, and returns once neither is (or on WM_QUIT).
void RunProgramMessageLoop();

}  // namespace vantrel::win32
