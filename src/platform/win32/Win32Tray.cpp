#include "platform/win32/Win32Tray.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>

#include "platform/win32/Unicode.h"

namespace vantrel::win32 {

namespace {

// The first version of the record has a 64-byte tip; cbSize tells the shell
// which version it is given, so the rest of the larger structure stays unread.
constexpr std::size_t kTipBytes = 64;

NOTIFYICONDATAA ToRecord(const NotifyIconRecord& record) {
    NOTIFYICONDATAA data{};
    data.cbSize = record.size;
    data.hWnd = reinterpret_cast<HWND>(record.window);
    data.uID = record.id;
    data.uFlags = record.flags;
    data.uCallbackMessage = record.callbackMessage;
    data.hIcon = reinterpret_cast<HICON>(record.icon);
    const std::string tip = ToAnsi(record.tip);
    std::memcpy(data.szTip, tip.data(), std::min(tip.size(), kTipBytes));
    // A caption longer than the field (in a multi-byte code page) still ends within it.
    if (std::find(data.szTip, data.szTip + kTipBytes, '\0') == data.szTip + kTipBytes)
        data.szTip[kTipBytes - 1] = '\0';
    return data;
}

}  // namespace

bool Win32Tray::Add(const NotifyIconRecord& record) {
    NOTIFYICONDATAA data = ToRecord(record);
    return Shell_NotifyIconA(NIM_ADD, &data) != FALSE;
}

bool Win32Tray::Remove(const NotifyIconRecord& record) {
    NOTIFYICONDATAA data = ToRecord(record);
    return Shell_NotifyIconA(NIM_DELETE, &data) != FALSE;
}

}  // namespace vantrel::win32
