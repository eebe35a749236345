#include "platform/win32/Win32MessageBoxes.h"

#include <windows.h>

#include "platform/win32/Unicode.h"

namespace vantrel::win32 {

// No owner window: MB_TASKMODAL disables this program's windows instead.
// A box that cannot be shown is not an error anyone could report.
void Win32MessageBoxes::Show(std::string_view text, std::string_view caption, Modality modality) {
    const UINT style =
        MB_OK | (modality == Modality::System ? MB_SYSTEMMODAL | MB_SETFOREGROUND : MB_TASKMODAL);
    MessageBoxW(nullptr, Widen(text).c_str(), Widen(caption).c_str(), style);
}

}  // namespace vantrel::win32
