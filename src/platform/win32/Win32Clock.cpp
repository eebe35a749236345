#include "platform/win32/Win32Clock.h"

#include <windows.h>

#include "platform/win32/Unicode.h"
#include "platform/win32/Win32Error.h"

namespace vantrel::win32 {

std::string Win32Clock::NowAsGeneralDate() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    wchar_t date[128] = {};
    wchar_t time[128] = {};
    ThrowLastErrorIf(GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &now, nullptr, date,
                                     static_cast<int>(std::size(date)), nullptr) == 0,
                     "Formatting the date");
    ThrowLastErrorIf(GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &now, nullptr, time,
                                     static_cast<int>(std::size(time))) == 0,
                     "Formatting the time");
    return Narrow(std::wstring(date) + L" " + time);
}

}  // namespace vantrel::win32
