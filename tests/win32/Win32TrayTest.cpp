#include "platform/win32/Win32Tray.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include "Win32TestSupport.h"

namespace vantrel {
namespace {

// The record as the program fills it: first-version size, message, icon and tip.
NotifyIconRecord RecordFor(HWND window, const std::string& caption) {
    NotifyIconRecord r;
    r.size = NOTIFYICONDATAA_V1_SIZE;
    r.window = reinterpret_cast<WindowHandle>(window);
    r.id = 1;
    r.flags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    r.callbackMessage = WM_MOUSEMOVE;
    r.icon = reinterpret_cast<std::uintptr_t>(LoadIconW(nullptr, IDI_APPLICATION));
    r.tip = caption + '\0';
    r.tip.resize(64, ' ');
    return r;
}

TEST(Win32TrayTest, AddsAndRemovesTheIconNamedByWindowAndId) {
    static_assert(NOTIFYICONDATAA_V1_SIZE == (sizeof(void*) == 8 ? 104 : 88));
    const testing::TestWindow window(L"Vantrel", WS_OVERLAPPEDWINDOW);
    win32::Win32Tray tray;
    const NotifyIconRecord record = RecordFor(window.get(), "Vantrel Übersicht");
    ASSERT_TRUE(tray.Add(record)) << "is the desktop's tray running? " << testing::LastErrorText();
    EXPECT_FALSE(tray.Add(record)) << "the same window and id cannot be added twice";

    NotifyIconRecord other = record;
    other.id = 2;
    EXPECT_FALSE(tray.Remove(other)) << "no icon has id 2";
    EXPECT_TRUE(tray.Remove(record));
    EXPECT_FALSE(tray.Remove(record)) << "already removed";
}

}  // namespace
}  // namespace vantrel
