#include "app/ProgramLoop_win.h"

#include <windows.h>

#include "about/AboutBox.h"
#include "app/frmmain_win.h"
#include "platform/win32/Win32MessageLoop.h"

namespace vantrel::win32 {

// The main window may be gone while the about box is still open (Exit chosen
// meanwhile); the program ends once neither is loaded. Both post a thread
// message as they go, so the loop wakes to notice even when they went while
// a sent message was being handled inside GetMessage.
void RunProgramMessageLoop() {
    // The last loop: a quit request ends the program, and is not passed on to
    // a box that a failure may still show.
    RunMessagesUntil([] { return !IsMainWindowLoaded() && !IsAboutBoxLoaded(); }, false);
}

}  // namespace vantrel::win32
