#include <windows.h>
#include <gtest/gtest.h>
#include <shellapi.h>

#include "Win32TestSupport.h"
#include "app/CIAsystray.h"
#include "platform/win32/Win32Tray.h"

namespace vantrel {
namespace {

// The record as the program fills it: first-version size, message, icon and tip.
NotifyIconRecord RecordFor(HWND window, const std::string& caption) {
    NotifyIconRecord r;
    r.size = kNotifyIconRecordSize;
    r.window = reinterpret_cast<WindowHandle>(window);
    r.id = 1;
    r.flags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    r.callbackMessage = WM_MOUSEMOVE;
    r.icon = reinterpret_cast<std::uintptr_t>(LoadIconW(nullptr, IDI_APPLICATION));
    r.tip = caption + '\0';
    r.tip.resize(64, ' ');
    return r;
}

// The program states the record's size itself; the shell reads the record's
// version from it, so it must be the first version's size on this build.
TEST(Win32TrayTest, TheProgramsRecordSizeIsTheFirstVersionsOnThisBuild) {
    EXPECT_EQ(kNotifyIconRecordSize, NOTIFYICONDATAA_V1_SIZE);
    EXPECT_EQ(kNotifyIconRecordSize, sizeof(void*) == 4 ? 88u : 104u);
    ::testing::Test::RecordProperty("record_size", static_cast<int>(kNotifyIconRecordSize));
}

TEST(Win32TrayTest, AddsAndRemovesTheIconNamedByWindowAndId) {
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
