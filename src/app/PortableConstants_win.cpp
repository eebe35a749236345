// The portable core carries some of the system's numbers without its headers;
// here, where both are in sight, they must agree.

#include <windows.h>
#include <shellapi.h>

#include "about/frmAbout.h"
#include "app/CIAsystray.h"
#include "platform/Processes.h"
#include "platform/Registry.h"
#include "platform/Types.h"

namespace vantrel {

static_assert(kWmMouseMove == WM_MOUSEMOVE);
static_assert(kWmRButtonUp == WM_RBUTTONUP);
static_assert(kWmHotKey == WM_HOTKEY);

static_assert(kVkShift == VK_SHIFT);
static_assert(kVkControl == VK_CONTROL);
static_assert(kVkMenu == VK_MENU);
static_assert(kVkEnd == VK_END);
static_assert(kVkHome == VK_HOME);

static_assert(kNotifyIconRecordSize == NOTIFYICONDATAA_V1_SIZE);
static_assert(kTrayIconFlags == (NIF_MESSAGE | NIF_ICON | NIF_TIP));

static_assert(frmAbout::kKeyRead == KEY_READ);
static_assert(kRegSz == REG_SZ);
static_assert(kRegDword == REG_DWORD);

static_assert(static_cast<int>(ShowState::NormalFocus) == SW_SHOWNORMAL);
static_assert(static_cast<int>(ShowState::MinimizedFocus) == SW_SHOWMINIMIZED);

}  // namespace vantrel
