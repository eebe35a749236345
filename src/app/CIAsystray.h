#pragma once

#include <cstdint>
#include <string>

#include "platform/Tray.h"
#include "platform/Types.h"

namespace vantrel {

// The window a notification icon stands for, as the tray module sees it.
class TrayWindow {
  public:
    virtual ~TrayWindow() = default;
    virtual WindowHandle Handle() = 0;
    virtual std::uintptr_t Icon() = 0;
    virtual std::string Caption() = 0;
    virtual void Hide() = 0;
    // Keeps the program out of the system's list of running applications.
    virtual void LeaveTaskList() = 0;
};

// The size of the first version of the notification-icon record on this
// build's pointer width.
constexpr std::uint32_t kNotifyIconRecordSize = sizeof(void*) == 4 ? 88 : 104;
constexpr std::uint32_t kTrayIconId = 1;
constexpr std::uint32_t kTrayIconFlags = 7;  // message + icon + tip
constexpr std::size_t kTrayTipLength = 64;

// Adds the window's icon with its caption as the tip, then takes the program
// out of the task list and hides the window. Failures while reading the
// window pass to the caller; the platform's answer is not examined.
void AddTrayIcon(TrayWindow& window);
// Removes the icon that the last AddTrayIcon added, whatever window is given.
void RemoveTrayIcon(TrayWindow& window);
// Adds the icon again with the kept record, for a task bar that was
// re-created and has forgotten it. Nothing when no icon is in place.
void RestoreTrayIcon();
// Whether an icon was added and not removed since.
bool TrayIconShown();

// The caption and a NUL, left-aligned in the tip's 64 characters and padded
// with spaces; a longer caption is cut at 64 characters.
std::string TrayTip(const std::string& caption);

}  // namespace vantrel
